// The one road by which a merge code reaches the document: the code goes on the
// clipboard (checked there), the target window (decoded once from the command line) is
// brought to the foreground, Ctrl+V is typed once it holds the focus, and the road waits
// until the target has read the code before the next one may replace it.
#pragma once

#include "InsertionTarget.h"
#include "platform/WindowSystem.h"

#include <QString>

#include <memory>

class TfScrivo;

/// The window system of the insertion road, owned for the road's life and handed
/// meanwhile to the key sender, whose searches and keys go through it. One road at a
/// time; the main window is given the road it sends its codes down.
class TInsertionRoad {
public:
    /// None: no window is ever found, nothing is typed.
    explicit TInsertionRoad(std::unique_ptr<platform::WindowSystem> windowSystem);
    ~TInsertionRoad();
    TInsertionRoad(const TInsertionRoad &) = delete;
    TInsertionRoad &operator=(const TInsertionRoad &) = delete;

    platform::WindowSystem *WindowSystem() const { return FWindowSystem.get(); }

private:
    std::unique_ptr<platform::WindowSystem> FWindowSystem;
};

/// Inserts `code` into the target document of `window`, down the road it was given; a
/// code that does not begin with "£" is inserted as "£" + code + "#". Failures are told to the user; the text
/// stays on the clipboard in every case where it could be put there.
void InsertCode(TfScrivo *window, const QString &code);

/// Whether the target window exists now, without activating anything.
bool TargetWindowExists(const TInsertionTarget &target);
/// Finds the target window by title (whole or cut before its first ".") or by handle
/// and brings it to the foreground; its handle, or 0 when none was found.
platform::WindowHandle ActivateTarget(const TInsertionTarget &target);
/// Waits, with the event loop running, until `window` steadily holds the keyboard
/// focus, asking for it again now and then; false when it never does, as soon as the
/// window is gone, or as soon as `abandoned` becomes true.
bool WaitForFocus(platform::WindowHandle window, const bool &abandoned);
