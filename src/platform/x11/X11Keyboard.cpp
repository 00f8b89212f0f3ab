// Key synthesis on X11 (see X11Keyboard.h).
#include "platform/x11/X11Keyboard.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {
namespace {

// Legacy keysyms of the characters of Windows-1252 outside Latin-1, and a few more that
// French layouts use; keysymdef.h gives them.
struct LegacyKeysym {
    char32_t character;
    KeySym keysym;
};
constexpr LegacyKeysym legacyKeysyms[] = {
    {0x0152, 0x13bc}, {0x0153, 0x13bd}, {0x0160, 0x01a9}, {0x0161, 0x01b9}, {0x0178, 0x13be},
    {0x017D, 0x01ae}, {0x017E, 0x01be}, {0x0192, 0x08f6}, {0x2013, 0x0aaa}, {0x2014, 0x0aa9},
    {0x2018, 0x0ad0}, {0x2019, 0x0ad1}, {0x201A, 0x0afd}, {0x201C, 0x0ad2}, {0x201D, 0x0ad3},
    {0x201E, 0x0afe}, {0x2020, 0x0af1}, {0x2021, 0x0af2}, {0x2022, 0x0ae6}, {0x2026, 0x0aae},
    {0x2030, 0x0ad5}, {0x20AC, 0x20ac}, {0x2122, 0x0ac9}, {0x2260, 0x08bd}, {0x2264, 0x08bc},
    {0x2265, 0x08be},
};

// Windows virtual-key code -> keysym; 0 when the code has no X equivalent.
KeySym keysymForVirtualKey(std::uint8_t vk)
{
    if (vk >= 0x30 && vk <= 0x39)
        return XK_0 + (vk - 0x30);
    if (vk >= 0x41 && vk <= 0x5A)
        return XK_a + (vk - 0x41);
    if (vk >= 0x60 && vk <= 0x69)
        return XK_KP_0 + (vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87)
        return XK_F1 + (vk - 0x70);
    switch (vk) {
    case 0x03: return XK_Break;
    case 0x08: return XK_BackSpace;
    case 0x09: return XK_Tab;
    case 0x0C: return XK_Clear;
    case 0x0D: return XK_Return;
    case 0x10: case 0xA0: return XK_Shift_L;
    case 0xA1: return XK_Shift_R;
    case 0x11: case 0xA2: return XK_Control_L;
    case 0xA3: return XK_Control_R;
    case 0x12: case 0xA4: return XK_Alt_L;
    case 0xA5: return XK_ISO_Level3_Shift;
    case 0x13: return XK_Pause;
    case 0x14: return XK_Caps_Lock;
    case 0x1B: return XK_Escape;
    case 0x20: return XK_space;
    case 0x21: return XK_Prior;
    case 0x22: return XK_Next;
    case 0x23: return XK_End;
    case 0x24: return XK_Home;
    case 0x25: return XK_Left;
    case 0x26: return XK_Up;
    case 0x27: return XK_Right;
    case 0x28: return XK_Down;
    case 0x29: return XK_Select;
    case 0x2A: case 0x2C: return XK_Print;
    case 0x2B: return XK_Execute;
    case 0x2D: return XK_Insert;
    case 0x2E: return XK_Delete;
    case 0x2F: return XK_Help;
    case 0x5B: return XK_Super_L;
    case 0x5C: return XK_Super_R;
    case 0x5D: return XK_Menu;
    case 0x6A: return XK_KP_Multiply;
    case 0x6B: return XK_KP_Add;
    case 0x6C: return XK_KP_Separator;
    case 0x6D: return XK_KP_Subtract;
    case 0x6E: return XK_KP_Decimal;
    case 0x6F: return XK_KP_Divide;
    case 0x90: return XK_Num_Lock;
    case 0x91: return XK_Scroll_Lock;
    case 0xBA: return XK_semicolon;
    case 0xBB: return XK_equal;
    case 0xBC: return XK_comma;
    case 0xBD: return XK_minus;
    case 0xBE: return XK_period;
    case 0xBF: return XK_slash;
    case 0xC0: return XK_grave;
    case 0xDB: return XK_bracketleft;
    case 0xDC: return XK_backslash;
    case 0xDD: return XK_bracketright;
    case 0xDE: return XK_apostrophe;
    case 0xE2: return XK_less;
    default: return 0;
    }
}

// The Windows virtual-key code of a character's key where it is obvious, else 0.
std::uint8_t virtualKeyForCharacter(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return static_cast<std::uint8_t>(c - U'a' + 0x41);
    if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U' ')
        return static_cast<std::uint8_t>(c);
    return 0;
}

// The XKB name of the key that carries a letter or digit on the US layout, where Windows
// puts that virtual key on every layout; nullptr for another virtual key.
const char *usKeyPosition(std::uint8_t vk)
{
    static const char *const letters[26] = {"AC01", "AB05", "AB03", "AC03", "AD03", "AC04", "AC05", "AC06", "AD08",
                                            "AC07", "AC08", "AC09", "AB07", "AB06", "AD09", "AD10", "AD01", "AD04",
                                            "AC02", "AD05", "AD07", "AB04", "AD02", "AB02", "AD06", "AB01"};
    static const char *const digits[10] = {"AE10", "AE01", "AE02", "AE03", "AE04",
                                           "AE05", "AE06", "AE07", "AE08", "AE09"};
    if (vk >= 'A' && vk <= 'Z')
        return letters[vk - 'A'];
    if (vk >= '0' && vk <= '9')
        return digits[vk - '0'];
    return nullptr;
}

} // namespace

X11Keyboard::X11Keyboard(Display *display) : display(display) {}

X11Keyboard::~X11Keyboard()
{
    if (xkb)
        XkbFreeKeyboard(xkb, 0, True);
}

void X11Keyboard::ensureLoaded()
{
    if (!xkb)
        refreshLayout();
}

void X11Keyboard::refreshLayout()
{
    // Nothing reads this connection's events: drop the XKB notifications it piles up.
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
    }
    if (xkb)
        XkbFreeKeyboard(xkb, 0, True);
    xkb = XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd);
    if (xkb)
        XkbGetNames(display, XkbKeyNamesMask, xkb);
    level3Mask = modifierMask(XK_ISO_Level3_Shift);
    numLockMask = modifierMask(XK_Num_Lock);
}

bool X11Keyboard::keyProduces(int keycode, KeySym keysym)
{
    const int n = XkbKeyNumSyms(xkb, keycode);
    const KeySym *syms = XkbKeySymsPtr(xkb, keycode);
    return std::find(syms, syms + n, keysym) != syms + n;
}

// Real modifiers bound to the keys that carry `keysym`, from the fresh XKB map.
unsigned int X11Keyboard::modifierMask(KeySym keysym)
{
    unsigned int mask = 0;
    if (xkb && xkb->map && xkb->map->modmap) {
        for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
            if (keyProduces(kc, keysym))
                mask |= xkb->map->modmap[kc];
        }
    }
    return mask ? mask : XkbKeysymToModifiers(display, keysym);
}

// The group a key uses when the keyboard is in `group`; -1 for a key without symbols.
int X11Keyboard::keyGroup(int keycode, int group)
{
    const int n = XkbKeyNumGroups(xkb, keycode);
    if (n == 0)
        return -1;
    if (group < n)
        return group;
    const unsigned char info = XkbKeyGroupInfo(xkb, keycode);
    switch (XkbOutOfRangeGroupAction(info)) {
    case XkbClampIntoRange:
        return n - 1;
    case XkbRedirectIntoRange:
        return XkbOutOfRangeGroupNumber(info) < n ? XkbOutOfRangeGroupNumber(info) : 0;
    default:
        return group % n;
    }
}

// The keysym a key gives in `group` with the modifiers `mods` in effect.
KeySym X11Keyboard::keysymAt(int keycode, int group, unsigned int mods)
{
    const XkbKeyTypePtr type = XkbKeyKeyType(xkb, keycode, group);
    int level = 0;
    for (int i = 0; i < type->map_count; ++i) {
        const XkbKTMapEntryRec &entry = type->map[i];
        if (entry.active && (mods & type->mods.mask) == entry.mods.mask) {
            level = entry.level;
            break;
        }
    }
    return level < XkbKeyGroupWidth(xkb, keycode, group) ? XkbKeySymEntry(xkb, keycode, level, group) : NoSymbol;
}

// A keycode for a keysym: first one giving it with no modifier in the current group,
// then any key carrying it anywhere; 0 when the layout has none.
unsigned int X11Keyboard::keycodeFor(KeySym keysym)
{
    if (!xkb || keysym == NoSymbol)
        return 0;
    XkbStateRec state;
    XkbGetState(display, XkbUseCoreKbd, &state);
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
        const int g = keyGroup(kc, state.group);
        if (g >= 0 && keysymAt(kc, g, 0) == keysym)
            return kc;
    }
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
        if (keyProduces(kc, keysym))
            return kc;
    }
    return 0;
}

KeyValue X11Keyboard::keyForCharacter(char32_t character)
{
    ensureLoaded();
    if (character == U'\r' || character == U'\n' || character == U'\t' || character == U'\b') {
        const std::uint8_t vk = character == U'\t' ? 0x09 : character == U'\b' ? 0x08 : 0x0D;
        const unsigned int kc = keycodeFor(keysymForVirtualKey(vk));
        return kc ? KeyValue{Key{vk, kc}, 0, true} : KeyValue{};
    }
    if (!xkb || character < 0x20 || (character >= 0x7F && character < 0xA0) || character > 0x10FFFF)
        return {};

    std::vector<KeySym> candidates;
    if (character <= 0xFF)
        candidates.push_back(character);
    for (const LegacyKeysym &legacy : legacyKeysyms) {
        if (legacy.character == character)
            candidates.push_back(legacy.keysym);
    }
    candidates.push_back(0x01000000 | character);

    XkbStateRec state;
    XkbGetState(display, XkbUseCoreKbd, &state);
    struct Combination {
        unsigned int mods;
        std::uint8_t bits;
    };
    std::vector<Combination> combinations{{0, 0}, {ShiftMask, SHIFT_BIT}};
    if (level3Mask) {
        combinations.push_back({level3Mask, ALTGR_BIT});
        combinations.push_back({ShiftMask | level3Mask, SHIFT_BIT | ALTGR_BIT});
    }
    // Fewest modifiers first, over all keys.
    for (const Combination &combination : combinations) {
        for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
            const int group = keyGroup(kc, state.group);
            if (group < 0)
                continue;
            const KeySym sym = keysymAt(kc, group, combination.mods);
            if (sym != NoSymbol && std::find(candidates.begin(), candidates.end(), sym) != candidates.end()) {
                return KeyValue{Key{virtualKeyForCharacter(character), static_cast<std::uint32_t>(kc)},
                                combination.bits, true};
            }
        }
    }
    return {};
}

// The key named `name` in the XKB map (a position: "AB04" is the fourth key of the
// bottom letter row); 0 when there is none.
unsigned int X11Keyboard::keycodeAt(const char *name)
{
    if (!xkb || !xkb->names || !xkb->names->keys || !name)
        return 0;
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
        if (std::strncmp(xkb->names->keys[kc].name, name, XkbKeyNameLength) == 0)
            return kc;
    }
    return 0;
}

void X11Keyboard::sendKeyEvent(Key key, bool down)
{
    ensureLoaded();
    unsigned int keycode = key.native;
    if (keycode == 0) {
        // Any group of the map (a Latin layout beside a Russian one), else the key where
        // the US layout has the letter: shortcuts such as Ctrl+V are taken by key.
        keycode = keycodeFor(keysymForVirtualKey(key.vk));
        if (keycode == 0)
            keycode = keycodeAt(usKeyPosition(key.vk));
        if (keycode == 0 && key.vk == VK_ALTGR_KEY)
            keycode = keycodeFor(XK_Mode_switch);
    }
    if (!xkb || keycode < xkb->min_key_code || keycode > xkb->max_key_code)
        return;
    XTestFakeKeyEvent(display, keycode, down ? True : False, CurrentTime);
    XFlush(display);
}

bool X11Keyboard::modifiersDown()
{
    ensureLoaded();
    if (!xkb || !xkb->map || !xkb->map->modmap)
        return false;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    const unsigned int modifiers = ShiftMask | ControlMask | Mod1Mask | Mod4Mask;
    for (int kc = xkb->min_key_code; kc <= xkb->max_key_code; ++kc) {
        if ((keys[kc / 8] & (1 << (kc % 8))) && (xkb->map->modmap[kc] & modifiers))
            return true;
    }
    return false;
}

bool X11Keyboard::numLockOn()
{
    ensureLoaded();
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return false;
    return numLockMask != 0 && (state.locked_mods & numLockMask) != 0;
}

void X11Keyboard::setNumLock(bool on)
{
    ensureLoaded();
    if (numLockMask == 0)
        return;
    XkbLockModifiers(display, XkbUseCoreKbd, numLockMask, on ? numLockMask : 0);
    XFlush(display);
}

} // namespace platform
