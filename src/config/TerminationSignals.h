// The termination signals that the Firebird client takes over. It installs its own
// SIGINT and SIGTERM handlers when a database is attached: they drop every attachment
// and let the process run on. Scrivo takes the two signals back after each attachment.
// Linux: TerminationSignals.cpp; Windows, where the program ends through its windows,
// not through these signals: TerminationSignalsWindows.cpp, which does nothing.
#pragma once

/// After an attachment: SIGINT, SIGTERM and SIGHUP (the session's end) quit the
/// application's event loop, which then frees its objects and detaches cleanly; a second
/// one ends the process at once (the event loop may not be running any more). Without an
/// application object they end the process as usual.
void TakeBackTerminationSignals();
/// The signals' default action again: they end the process at once.
void RestoreDefaultTerminationSignals();
