// The termination signals that the Firebird client takes over. It installs its own
// SIGINT and SIGTERM handlers when a database is attached: they drop every attachment
// and let the process run on. Scrivo takes the two signals back after each attachment.
// Linux: TerminationSignals.cpp; Windows, where the program ends through its windows,
// not through these signals: TerminationSignalsWindows.cpp, which does nothing.
#pragma once

/// After an attachment: SIGINT and SIGTERM quit the application's event loop, which
/// then frees its objects and detaches cleanly; without an application object they end
/// the process as usual.
void TakeBackTerminationSignals();
