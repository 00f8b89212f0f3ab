// Key synthesis on X11, for X11WindowSystem: the character-to-key translation through the
// XKB keyboard map, key events through XTest, and the Num Lock state.
//
// Data flow: the XKB map of the core keyboard (read at first use, and again on each
// refreshLayout) -> a character becomes candidate keysyms (Latin-1, legacy, Unicode),
// searched in the map's current group under the modifier combinations the key sender can
// press (none, Shift, AltGr, both) -> the keycode and shift bits of a KeyValue ->
// sendKeyEvent fakes that keycode's press or release. Levels that need Caps Lock or Num
// Lock are never chosen, and, as VkKeyScan on Windows, the locked state is ignored (with
// Caps Lock on, "v" stays Shift-free, so that Ctrl+V does not become Ctrl+Shift+V).
// Virtual-key codes go through a table of keysyms, searched in every group; a letter or
// digit no group carries (a Russian layout alone) is the key at its US position. Internal to the platform layer: Xlib
// types appear here, never in X11WindowSystem.h.
#pragma once

#include "platform/WindowSystem.h"

#include <X11/XKBlib.h>

namespace platform {

class X11Keyboard {
public:
    /// Works on `display`, which must outlive the keyboard.
    explicit X11Keyboard(Display *display);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard &) = delete;
    X11Keyboard &operator=(const X11Keyboard &) = delete;

    /// Reads the keyboard map again (the layout or the modifier keys may have changed).
    void refreshLayout();
    KeyValue keyForCharacter(char32_t character);
    void sendKeyEvent(Key key, bool down);
    /// Whether a key bound to Shift, Control, Alt (Mod1) or the logo key (Mod4) is down.
    bool modifiersDown();
    bool numLockOn();
    void setNumLock(bool on);

private:
    void ensureLoaded();
    bool keyProduces(int keycode, KeySym keysym);
    unsigned int modifierMask(KeySym keysym);
    int keyGroup(int keycode, int group);
    KeySym keysymAt(int keycode, int group, unsigned int mods);
    unsigned int keycodeFor(KeySym keysym);
    unsigned int keycodeAt(const char *name);

    Display *display;
    XkbDescPtr xkb = nullptr;
    unsigned int level3Mask = 0;
    unsigned int numLockMask = 0;
};

} // namespace platform
