// Where the program's dialogs and message boxes stand. The main window is a small
// always-on-top tool window: a dialog that were not tied to it would open behind it,
// or, once closed, leave the toolkit believing that the last window is gone.
#pragma once

class QWidget;

/// The window a dialog stands over: `requested`'s window when there is one, else the
/// modal dialog on screen (a message about it belongs above it), else the program's
/// main window (the visible top-level window that is not a dialog); none before the
/// main window shows.
QWidget *DialogOwner(QWidget *requested);

/// Readies `dialog` (created with `owner` as parent, or without one) to show above
/// its owner, centred on it: a dialog keeps above an always-on-top owner, and one
/// without owner keeps above every window, the main window included.
void StandAboveOwner(QWidget *dialog, QWidget *owner);
