// Windows side of the window system, through user32: the visible, uncloaked top-level
// windows by EnumWindows and their titles by GetWindowTextW (79 characters, made UTF-8);
// a handle counts when IsWindow knows it and its parent is the desktop; activation
// restores a minimised window (a maximised one stays maximised) and brings it to the
// foreground; key events go through SendInput, those of one key string in one call; the
// character-to-key translation through VkKeyScanW in the current keyboard layout (AZERTY
// included: AltGr characters come back as Ctrl+Alt, as Windows types them); Num Lock
// is switched by its key; a program of a higher integrity level (run as administrator)
// is told apart, since Windows drops the keys sent to it.
//
// Window handles are HWND values widened to 64 bits. The program's own windows (those
// of this process) are left out of topLevelWindows().
#pragma once

#include "platform/WindowSystem.h"

namespace platform {

/// The key-up events that release what the first `inserted` of `events` pressed and
/// left down, last pressed first.
std::vector<KeyEvent> releasesAfter(const std::vector<KeyEvent> &events, std::size_t inserted);

class Win32WindowSystem : public WindowSystem {
public:
    std::vector<WindowHandle> topLevelWindows() override;
    std::string windowTitle(WindowHandle window) override;
    std::uint64_t windowProcess(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    bool activateWindow(WindowHandle window) override;
    bool windowHasFocus(WindowHandle window) override;
    /// The toolkit renders the clipboard's data when a program asks for it.
    bool clipboardServedOnRequest() override { return true; }
    /// Hung for the system, or not answering a message within a moment.
    bool windowBusy(WindowHandle window) override;

    KeyValue keyForCharacter(char32_t character) override;
    void sendKeyEvent(Key key, bool down, bool extended) override;
    bool sendKeyEvents(const std::vector<KeyEvent> &events) override;
    bool userModifiersDown() override;
    bool inputBlockedTo(WindowHandle window) override;

    bool numLockOn() override;
    void setNumLock(bool on) override;
    void toggleNumLock() override;
};

} // namespace platform
