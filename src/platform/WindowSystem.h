// The window system as the key sender and the insertion routine need it: top-level
// windows by title or handle, activation, focus, synthetic key events and the
// character-to-key translation of the current keyboard layout.
//
// Free of Qt on purpose: standard C++ types only (UTF-8 texts, 64-bit handles), so that
// each operating system's side can be built and tested on its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

using WindowHandle = std::uint64_t;

/// Windows virtual-key codes used as modifiers by the key sender.
enum VirtualKey : std::uint8_t {
    VK_SHIFT_KEY = 0x10,
    VK_CONTROL_KEY = 0x11,
    VK_ALT_KEY = 0x12,
    VK_NUMLOCK_KEY = 0x90,
    VK_ALTGR_KEY = 0xA5, ///< right Alt; the third shift level (AltGr) on X11
};

/// Shift-state bits of a key value (the high byte of a Windows key scan result).
enum ShiftState : std::uint8_t {
    SHIFT_BIT = 0x01,
    CTRL_BIT = 0x02,
    ALT_BIT = 0x04,
    ALTGR_BIT = 0x08, ///< X11 only: the key's level needs AltGr (ISO_Level3_Shift)
};

/// One physical key: a Windows virtual-key code, and, for a key found by translating a
/// character, the platform's own key code (an X keycode), which then wins over `vk`.
struct Key {
    std::uint8_t vk = 0;
    std::uint32_t native = 0;
    bool operator==(const Key &) const = default;
};

/// One key event for sendKeyEvents().
struct KeyEvent {
    Key key;
    bool down = false;
    bool extended = false;
    bool operator==(const KeyEvent &) const = default;
};

/// A character translated in the current layout: the key and the shift state it needs.
struct KeyValue {
    Key key;
    std::uint8_t shiftState = 0;
    bool valid = false; ///< false: the layout has no key for the character
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    /// Top-level windows in the platform's order, the program's own windows left out.
    virtual std::vector<WindowHandle> topLevelWindows() = 0;
    /// Title of a window (UTF-8), empty when it has none or no longer exists.
    virtual std::string windowTitle(WindowHandle window) = 0;
    /// The identifier of the process that owns the window; 0 when unknown.
    virtual std::uint64_t windowProcess(WindowHandle window)
    {
        (void)window;
        return 0;
    }
    /// Whether a top-level window with that handle exists (own windows included).
    virtual bool windowExists(WindowHandle window) = 0;
    /// Restores a minimised window (to its earlier size, maximised when it was), raises it
    /// and asks the focus for it; false when it is gone. A maximised window stays so.
    /// Activation may complete later: see windowHasFocus().
    virtual bool activateWindow(WindowHandle window) = 0;
    /// Whether the keyboard focus is in that top-level window now.
    virtual bool windowHasFocus(WindowHandle window) = 0;

    /// Whether a program that pastes fetches the clipboard's content from its owner at
    /// that moment (X11; Windows, where the toolkit renders it on request), so that the
    /// owner must not replace it before; false where the content is handed to the system
    /// when it is set.
    virtual bool clipboardServedOnRequest() { return false; }
    /// Whether `event`, an event as the GUI toolkit received it from the window system
    /// (`eventType` is the toolkit's name of its kind), asks for the clipboard's text (not
    /// merely the list of its formats, nor a format it lacks) on behalf of the program
    /// that owns `window`. When it does, the transfer is followed: clipboardTextTaken().
    virtual bool isClipboardContentRequest(const char *eventType, const void *event, WindowHandle window)
    {
        (void)eventType;
        (void)event;
        (void)window;
        return false;
    }
    /// Whether the program of the request isClipboardContentRequest() last recognised has
    /// read the text it was answered with; the answer can be replaced only then.
    virtual bool clipboardTextTaken() { return true; }
    /// Whether the program of `window` is still at work and may yet read the clipboard
    /// (Windows: it does not answer its messages). Where the system cannot tell (X11), a
    /// read not asked for yet counts as still to come: true.
    virtual bool windowBusy(WindowHandle window)
    {
        (void)window;
        return true;
    }

    /// Re-reads the keyboard layout; called at the start of every key string.
    virtual void refreshKeyboardLayout() {}
    /// The key and shift state that type `character` (a Unicode code point) in the
    /// current layout; `valid` false when no key types it.
    virtual KeyValue keyForCharacter(char32_t character) = 0;
    /// Sends one key event to whichever window has the focus.
    virtual void sendKeyEvent(Key key, bool down, bool extended) = 0;
    /// Sends `events` as one piece of input, which the user's own typing cannot split;
    /// false when the system refused some of them.
    virtual bool sendKeyEvents(const std::vector<KeyEvent> &events)
    {
        for (const KeyEvent &event : events)
            sendKeyEvent(event.key, event.down, event.extended);
        return true;
    }
    /// Whether the user holds a modifier key (Shift, Ctrl, Alt, the logo key) down now.
    virtual bool userModifiersDown() { return false; }
    /// Whether the program of `window` runs with higher rights than this one (Windows: as
    /// administrator), so that the system drops the keys sent to it.
    virtual bool inputBlockedTo(WindowHandle window)
    {
        (void)window;
        return false;
    }

    virtual bool numLockOn() = 0;
    /// Switches Num Lock to `on`, for every program (as its key would).
    virtual void setNumLock(bool on) = 0;
    /// Switches Num Lock over, for every program.
    virtual void toggleNumLock() { setNumLock(!numLockOn()); }
};

/// The window system of this desktop (X11 on Linux, Win32 on Windows); nullptr and a
/// French message in `error` when there is none to work with.
std::unique_ptr<WindowSystem> openWindowSystem(std::string &error);

} // namespace platform
