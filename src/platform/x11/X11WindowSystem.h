// X11 side of the window system: top-level windows, titles, activation and focus through
// Xlib and the EWMH hints of the window manager; key events through XTest; the
// character-to-key translation through the XKB keyboard map (keycode and shift level in
// the current group, so that AZERTY and other layouts type the right characters).
//
// Uses a Display connection of its own, independent of the toolkit's. X errors caused by
// windows that vanish are caught and read as "not found". Xlib types stay out of this
// header (they define macros such as None and Status that clash with other code).
#pragma once

#include "platform/WindowSystem.h"

#include <memory>
#include <string>

namespace platform {

class X11WindowSystem : public WindowSystem {
public:
    /// Connects to the X server of $DISPLAY; nullptr and a French message in `error`
    /// when there is no display or when the server lacks the XTEST extension.
    static std::unique_ptr<X11WindowSystem> open(std::string &error);
    ~X11WindowSystem() override;

    X11WindowSystem(const X11WindowSystem &) = delete;
    X11WindowSystem &operator=(const X11WindowSystem &) = delete;

    std::vector<WindowHandle> topLevelWindows() override;
    std::string windowTitle(WindowHandle window) override;
    /// _NET_WM_PID, which the client sets (most do).
    std::uint64_t windowProcess(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    bool activateWindow(WindowHandle window) override;
    bool windowHasFocus(WindowHandle window) override;

    bool clipboardServedOnRequest() override { return true; }
    /// A SelectionRequest for CLIPBOARD in a text format (UTF8_STRING, STRING, TEXT,
    /// COMPOUND_TEXT, text/plain...) from a window of the client that owns `window`; `eventType` is
    /// "xcb_generic_event_t", the event in the X protocol's own layout.
    bool isClipboardContentRequest(const char *eventType, const void *event, WindowHandle window) override;
    /// The requestor has deleted the property the text was written to, or its window is gone.
    bool clipboardTextTaken() override;

    void refreshKeyboardLayout() override;
    KeyValue keyForCharacter(char32_t character) override;
    void sendKeyEvent(Key key, bool down, bool extended) override;
    bool userModifiersDown() override;

    bool numLockOn() override;
    void setNumLock(bool on) override;

    /// Leaves a window out of topLevelWindows(), in addition to the windows whose
    /// _NET_WM_PID is this process.
    void excludeWindow(WindowHandle window);

    /// X errors caught and read as "not found" since the process started, all
    /// connections together.
    static unsigned long trappedErrors();

private:
    struct Private;
    explicit X11WindowSystem(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

} // namespace platform
