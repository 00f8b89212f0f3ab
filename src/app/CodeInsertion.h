// The one road by which a merge code reaches the document: the code goes on the
// clipboard, the target window (document title, "-app=" title or "-hwnd=" handle) is
// brought to the foreground, and Ctrl+V is typed once it holds the focus.
#pragma once

#include "platform/WindowSystem.h"

#include <QString>

class TfScrivo;

/// Inserts `code` into the target document of `window`; a code that does not begin
/// with "£" is inserted as "£" + code + "#". Failures are told to the user; the text
/// stays on the clipboard in every case.
void InsertCode(TfScrivo *window, const QString &code);

/// Whether the target descriptor names a window handle ("-hwnd=", any letter case).
bool IsHandleTarget(const QString &target);
/// The title a descriptor searches for: the text after "=" of "-app=", else the
/// descriptor itself.
QString TargetTitle(const QString &target);
/// Whether the target window exists now, without activating anything.
bool TargetWindowExists(const QString &target);
/// Finds the target window by title (whole or cut before its first ".") or by handle
/// and brings it to the foreground; its handle, or 0 when none was found.
platform::WindowHandle ActivateTarget(const QString &target);
/// Waits, with the event loop running, until `window` steadily holds the keyboard
/// focus, asking for it again now and then; false when it never does, as soon as the
/// window is gone, or as soon as `abandoned` becomes true.
bool WaitForFocus(platform::WindowHandle window, const bool &abandoned);
