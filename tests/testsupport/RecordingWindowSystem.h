// A window system for tests: windows are entries of a list, key events are recorded,
// and characters translate as on a US keyboard (or one without Latin letters).
#pragma once

#include "platform/WindowSystem.h"

#include <functional>
#include <map>
#include <optional>

namespace platform {

class RecordingWindowSystem : public WindowSystem {
public:
    using KeyEvent = platform::KeyEvent;

    /// Adds a top-level window; `own` windows belong to the program and are left out of
    /// topLevelWindows(). A window that does not `takeFocus` ignores activation.
    WindowHandle addWindow(const std::string &title, bool own = false, bool takesFocus = true);
    void removeWindow(WindowHandle window);
    void setTitle(WindowHandle window, const std::string &title);
    /// The handle the next added window gets.
    WindowHandle nextHandle = 0x1000;
    /// Windows that exist but that topLevelWindows() leaves out, as it leaves out the
    /// windows of another virtual desktop on Windows.
    std::vector<WindowHandle> unseen;
    /// What windowBusy() answers.
    bool busy = false;
    /// The process of each window, for windowProcess(); 0 when not given.
    std::map<WindowHandle, std::uint64_t> processes;
    /// Makes windowTitle() fail with an exception, as a broken platform call would.
    void setFailing(bool failing) { FFailing = failing; }

    std::vector<KeyEvent> keyEvents;
    /// The key events sent in one piece, one entry per piece.
    std::vector<std::vector<KeyEvent>> keyBatches;
    /// How many more times userModifiersDown() answers true.
    int modifierPolls = 0;
    /// false: letters have no key, as under a Russian layout.
    bool latinLetters = true;
    /// true: sendKeyEvents() reports the events refused (and records none).
    bool refuseKeys = false;
    /// Whether the target is said to fetch the clipboard when it pastes.
    bool servedOnRequest = false;
    /// Called with each piece of key events sent (a target reacting to its keys).
    std::function<void(const std::vector<KeyEvent> &)> onKeys;
    std::vector<WindowHandle> activations;
    WindowHandle focused = 0;
    bool numLock = false;

    std::vector<WindowHandle> topLevelWindows() override;
    std::string windowTitle(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    bool activateWindow(WindowHandle window) override;
    bool windowHasFocus(WindowHandle window) override;
    bool clipboardServedOnRequest() override { return servedOnRequest; }
    bool windowBusy(WindowHandle) override { return busy; }
    std::uint64_t windowProcess(WindowHandle window) override { return processes[window]; }
    KeyValue keyForCharacter(char32_t character) override;
    void sendKeyEvent(Key key, bool down, bool extended) override;
    bool sendKeyEvents(const std::vector<KeyEvent> &events) override;
    bool userModifiersDown() override { return modifierPolls > 0 && modifierPolls--; }
    bool numLockOn() override { return numLock; }
    void setNumLock(bool on) override { numLock = on; }

private:
    struct Window {
        WindowHandle handle;
        std::string title;
        bool own;
        bool takesFocus;
    };
    const Window *find(WindowHandle window) const;

    std::vector<Window> FWindows;
    bool FFailing = false;
};

} // namespace platform
