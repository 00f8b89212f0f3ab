// Windows side of the window system, through user32: top-level windows by EnumWindows
// and their titles by GetWindowTextA (79 characters, Windows-1252 made UTF-8); a handle
// counts when IsWindow knows it and its parent is the desktop; activation restores a
// minimised window and brings it to the foreground; key events go through SendInput,
// the character-to-key translation through VkKeyScan in the current keyboard layout
// (AZERTY included: AltGr characters come back as Ctrl+Alt, as Windows types them), the
// scan codes through MapVirtualKeyA; Num Lock lives in the thread's keyboard state.
//
// Window handles are HWND values widened to 64 bits. The program's own windows (those
// of this process) are left out of topLevelWindows().
#pragma once

#include "platform/WindowSystem.h"

namespace platform {

class Win32WindowSystem : public WindowSystem {
public:
    std::vector<WindowHandle> topLevelWindows() override;
    std::string windowTitle(WindowHandle window) override;
    bool windowExists(WindowHandle window) override;
    bool activateWindow(WindowHandle window) override;
    bool windowHasFocus(WindowHandle window) override;

    KeyValue keyForCharacter(char32_t character) override;
    void sendKeyEvent(Key key, bool down, bool extended) override;

    bool numLockOn() override;
    void setNumLock(bool on) override;
};

} // namespace platform
