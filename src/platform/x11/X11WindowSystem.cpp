// X11 window system (see X11WindowSystem.h).
//
// Windows: the client list of the EWMH window manager (_NET_CLIENT_LIST), or, without
// one, the viewable children of the root; the program's own windows (_NET_WM_PID) are
// left out of the list searches. Every call that names a window that may have vanished
// runs under an ErrorTrap, which turns X errors into a flag instead of the default
// handler's exit().
//
// Keys: a character becomes candidate keysyms (Latin-1, legacy, Unicode), which are
// searched in the XKB map's current group under the modifier combinations the key sender
// can press (none, Shift, AltGr, both); levels that need Caps Lock or Num Lock are never
// chosen, and, as VkKeyScan on Windows, the locked state is ignored (with Caps Lock on,
// "v" stays Shift-free, so that Ctrl+V does not become Ctrl+Shift+V). Virtual-key codes
// go through a table of keysyms.
#include "platform/x11/X11WindowSystem.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace platform {
namespace {

// Catches the X errors of one Display while in scope; process-global handler, restored
// on exit. Errors of other Display connections go to the previous handler. Not nested.
class ErrorTrap {
public:
    explicit ErrorTrap(Display *display) : m_display(display)
    {
        s_display = display;
        s_error = Success;
        m_previous = XSetErrorHandler(&ErrorTrap::handler);
        s_previous = m_previous;
        XSync(display, False); // an error of an earlier request must not count here
        s_error = Success;
    }
    ~ErrorTrap()
    {
        XSync(m_display, False);
        XSetErrorHandler(m_previous);
        s_display = nullptr;
        s_previous = nullptr;
    }
    ErrorTrap(const ErrorTrap &) = delete;
    ErrorTrap &operator=(const ErrorTrap &) = delete;

    /// First error code met since the start or the last call (Success when none), after
    /// a round trip.
    int take()
    {
        XSync(m_display, False);
        const int error = s_error;
        s_error = Success;
        return error;
    }

private:
    static int handler(Display *display, XErrorEvent *event)
    {
        if (display == s_display) {
            if (s_error == Success)
                s_error = event->error_code;
            return 0;
        }
        return s_previous ? s_previous(display, event) : 0;
    }

    Display *m_display;
    XErrorHandler m_previous = nullptr;
    static inline Display *s_display = nullptr;
    static inline int s_error = Success;
    static inline XErrorHandler s_previous = nullptr;
};

struct XFreeDeleter {
    void operator()(void *p) const
    {
        if (p)
            XFree(p);
    }
};

// One window property as returned by XGetWindowProperty; count 0 when absent.
struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    std::unique_ptr<unsigned char, XFreeDeleter> data;

    // Format 32 items are C longs in Xlib's representation.
    unsigned long item32(unsigned long i) const
    {
        return reinterpret_cast<const unsigned long *>(data.get())[i];
    }
    std::string bytes() const
    {
        return format == 8 && count > 0 ? std::string(reinterpret_cast<const char *>(data.get()), count) : std::string();
    }
};

Property readProperty(Display *display, Window window, Atom property, Atom type)
{
    Property p;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1L << 24, False, type, &p.type, &p.format,
                           &p.count, &after, &data)
        != Success) {
        return Property{};
    }
    p.data.reset(data);
    if (p.type == None || (type != AnyPropertyType && p.type != type))
        p.count = 0;
    return p;
}

std::string latin1ToUtf8(const std::string &text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool validHandle(WindowHandle window)
{
    return window != 0 && window <= 0xFFFFFFFFu;
}

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

} // namespace

struct X11WindowSystem::Private {
    Display *display = nullptr;
    Window root = None;
    Atom netSupported = None, netSupportingWmCheck = None, netClientList = None, netActiveWindow = None,
         netWmName = None, netWmPid = None, utf8String = None, wmState = None, compoundText = None;
    std::set<WindowHandle> excluded;

    XkbDescPtr xkb = nullptr;
    unsigned int level3Mask = 0;
    unsigned int numLockMask = 0;

    ~Private()
    {
        if (xkb)
            XkbFreeKeyboard(xkb, 0, True);
        if (display)
            XCloseDisplay(display);
    }

    // --- windows (callers hold an ErrorTrap) ---

    // Whether a live EWMH window manager supports `atom`: the root's _NET_SUPPORTED, trusted
    // only while the window named by _NET_SUPPORTING_WM_CHECK exists and names itself
    // (a window manager that crashed leaves its properties behind).
    bool supports(Atom atom)
    {
        const Property check = readProperty(display, root, netSupportingWmCheck, XA_WINDOW);
        if (check.count == 0)
            return false;
        const Property self = readProperty(display, check.item32(0), netSupportingWmCheck, XA_WINDOW);
        if (self.count == 0 || self.item32(0) != check.item32(0))
            return false;
        const Property p = readProperty(display, root, netSupported, XA_ATOM);
        for (unsigned long i = 0; i < p.count; ++i) {
            if (p.item32(i) == atom)
                return true;
        }
        return false;
    }

    bool hasWmState(Window window)
    {
        return readProperty(display, window, wmState, wmState).count > 0;
    }

    // A frame of a window manager without a client list: its child that holds WM_STATE.
    Window clientOf(Window window)
    {
        if (hasWmState(window))
            return window;
        Window rootReturn = None, parent = None, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(display, window, &rootReturn, &parent, &children, &n))
            return window;
        std::unique_ptr<Window, XFreeDeleter> guard(children);
        for (unsigned int i = 0; i < n; ++i) {
            if (hasWmState(children[i]))
                return children[i];
        }
        return window;
    }

    std::vector<WindowHandle> topLevel()
    {
        std::vector<WindowHandle> list;
        if (supports(netClientList)) {
            const Property p = readProperty(display, root, netClientList, XA_WINDOW);
            for (unsigned long i = 0; i < p.count; ++i)
                list.push_back(p.item32(i));
            return list;
        }
        Window rootReturn = None, parent = None, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(display, root, &rootReturn, &parent, &children, &n))
            return list;
        std::unique_ptr<Window, XFreeDeleter> guard(children);
        for (unsigned int i = 0; i < n; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable
                && !attributes.override_redirect) {
                list.push_back(clientOf(children[i]));
            }
        }
        return list;
    }

    bool isOwn(WindowHandle window)
    {
        if (excluded.count(window))
            return true;
        const Property p = readProperty(display, window, netWmPid, XA_CARDINAL);
        return p.count > 0 && p.item32(0) == static_cast<unsigned long>(getpid());
    }

    bool isTopLevel(WindowHandle window)
    {
        const std::vector<WindowHandle> list = topLevel();
        return std::find(list.begin(), list.end(), window) != list.end();
    }

    bool isIconic(Window window)
    {
        const Property p = readProperty(display, window, wmState, wmState);
        return p.count > 0 && p.format == 32 && p.item32(0) == IconicState;
    }

    // --- keyboard ---

    void ensureKeyboard()
    {
        if (!xkb)
            loadKeyboard();
    }

    void loadKeyboard()
    {
        // Nothing reads this connection's events: drop the XKB notifications it piles up.
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        if (xkb)
            XkbFreeKeyboard(xkb, 0, True);
        xkb = XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd);
        level3Mask = modifierMask(XK_ISO_Level3_Shift);
        numLockMask = modifierMask(XK_Num_Lock);
    }

    bool keyProduces(int keycode, KeySym keysym)
    {
        const int n = XkbKeyNumSyms(xkb, keycode);
        const KeySym *syms = XkbKeySymsPtr(xkb, keycode);
        return std::find(syms, syms + n, keysym) != syms + n;
    }

    // Real modifiers bound to the keys that carry `keysym`, from the fresh XKB map.
    unsigned int modifierMask(KeySym keysym)
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
    int keyGroup(int keycode, int group)
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
    KeySym keysymAt(int keycode, int group, unsigned int mods)
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
    unsigned int keycodeFor(KeySym keysym)
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
};

X11WindowSystem::X11WindowSystem(std::unique_ptr<Private> p) : d(std::move(p)) {}

X11WindowSystem::~X11WindowSystem() = default;

std::unique_ptr<X11WindowSystem> X11WindowSystem::open(std::string &error)
{
    auto p = std::make_unique<Private>();
    p->display = XOpenDisplay(nullptr);
    if (!p->display) {
        const char *name = std::getenv("DISPLAY");
        error = name && *name ? "Pas d'affichage X11 disponible (DISPLAY=" + std::string(name) + ")"
                              : std::string("Pas d'affichage X11 disponible (DISPLAY)");
        return nullptr;
    }
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(p->display, &eventBase, &errorBase, &major, &minor)) {
        error = "L'extension XTEST du serveur X est absente";
        return nullptr;
    }
    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(p->display, &opcode, &eventBase, &errorBase, &major, &minor)) {
        error = "L'extension XKEYBOARD du serveur X est absente";
        return nullptr;
    }
    p->root = DefaultRootWindow(p->display);
    const char *names[] = {"_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK", "_NET_CLIENT_LIST", "_NET_ACTIVE_WINDOW", "_NET_WM_NAME",
                           "_NET_WM_PID", "UTF8_STRING", "WM_STATE", "COMPOUND_TEXT"};
    Atom atoms[std::size(names)];
    XInternAtoms(p->display, const_cast<char **>(names), std::size(names), False, atoms);
    p->netSupported = atoms[0];
    p->netSupportingWmCheck = atoms[1];
    p->netClientList = atoms[2];
    p->netActiveWindow = atoms[3];
    p->netWmName = atoms[4];
    p->netWmPid = atoms[5];
    p->utf8String = atoms[6];
    p->wmState = atoms[7];
    p->compoundText = atoms[8];
    error.clear();
    return std::unique_ptr<X11WindowSystem>(new X11WindowSystem(std::move(p)));
}

void X11WindowSystem::excludeWindow(WindowHandle window)
{
    d->excluded.insert(window);
}

std::vector<WindowHandle> X11WindowSystem::topLevelWindows()
{
    ErrorTrap trap(d->display);
    std::vector<WindowHandle> list = d->topLevel();
    std::erase_if(list, [this](WindowHandle w) { return d->isOwn(w); });
    return list;
}

std::string X11WindowSystem::windowTitle(WindowHandle window)
{
    if (!validHandle(window))
        return {};
    ErrorTrap trap(d->display);
    const Property netName = readProperty(d->display, window, d->netWmName, d->utf8String);
    if (netName.count > 0)
        return netName.bytes();
    const Property name = readProperty(d->display, window, XA_WM_NAME, AnyPropertyType);
    if (name.count == 0 || name.format != 8)
        return {};
    if (name.type == d->utf8String)
        return name.bytes();
    if (name.type == d->compoundText) {
        XTextProperty text{name.data.get(), name.type, name.format, name.count};
        char **list = nullptr;
        int n = 0;
        if (Xutf8TextPropertyToTextList(d->display, &text, &list, &n) >= Success && n > 0) {
            std::string result = list[0];
            XFreeStringList(list);
            return result;
        }
    }
    return latin1ToUtf8(name.bytes()); // STRING, the ICCCM's Latin-1
}

bool X11WindowSystem::windowExists(WindowHandle window)
{
    if (!validHandle(window))
        return false;
    ErrorTrap trap(d->display);
    return d->isTopLevel(window);
}

bool X11WindowSystem::activateWindow(WindowHandle window)
{
    if (!validHandle(window))
        return false;
    ErrorTrap trap(d->display);
    if (!d->isTopLevel(window))
        return false;
    const Window w = static_cast<Window>(window);
    const bool ewmh = d->supports(d->netActiveWindow);
    trap.take(); // errors so far concern other windows (a stale window-manager check window)
    // Mapping an iconic window asks the window manager to restore it (ICCCM 4.1.4).
    if (d->isIconic(w))
        XMapRaised(d->display, w);
    if (ewmh) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = w;
        event.xclient.message_type = d->netActiveWindow;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // source indication: pager, i.e. the user's wish
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(d->display, d->root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        XMapRaised(d->display, w);
        XSetInputFocus(d->display, w, RevertToParent, CurrentTime);
    }
    XFlush(d->display);
    // BadMatch (not viewable yet for the focus) still means the window is there.
    return trap.take() != BadWindow;
}

bool X11WindowSystem::windowHasFocus(WindowHandle window)
{
    if (!validHandle(window))
        return false;
    ErrorTrap trap(d->display);
    Window focus = None;
    int revert = 0;
    XGetInputFocus(d->display, &focus, &revert);
    // Walk up from the focus window: the focus may sit in a child of the top level.
    for (int depth = 0; depth < 64 && focus != None && focus != PointerRoot && focus != d->root; ++depth) {
        if (focus == window)
            return true;
        Window rootReturn = None, parent = None, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d->display, focus, &rootReturn, &parent, &children, &n))
            return false;
        if (children)
            XFree(children);
        focus = parent;
    }
    return false;
}

void X11WindowSystem::refreshKeyboardLayout()
{
    d->loadKeyboard();
}

KeyValue X11WindowSystem::keyForCharacter(char32_t character)
{
    d->ensureKeyboard();
    if (character == U'\r' || character == U'\n' || character == U'\t' || character == U'\b') {
        const std::uint8_t vk = character == U'\t' ? 0x09 : character == U'\b' ? 0x08 : 0x0D;
        const unsigned int kc = d->keycodeFor(keysymForVirtualKey(vk));
        return kc ? KeyValue{Key{vk, kc}, 0, true} : KeyValue{};
    }
    if (!d->xkb || character < 0x20 || (character >= 0x7F && character < 0xA0) || character > 0x10FFFF)
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
    XkbGetState(d->display, XkbUseCoreKbd, &state);
    struct Combination {
        unsigned int mods;
        std::uint8_t bits;
    };
    std::vector<Combination> combinations{{0, 0}, {ShiftMask, SHIFT_BIT}};
    if (d->level3Mask) {
        combinations.push_back({d->level3Mask, ALTGR_BIT});
        combinations.push_back({ShiftMask | d->level3Mask, SHIFT_BIT | ALTGR_BIT});
    }
    // Fewest modifiers first, over all keys.
    for (const Combination &combination : combinations) {
        for (int kc = d->xkb->min_key_code; kc <= d->xkb->max_key_code; ++kc) {
            const int group = d->keyGroup(kc, state.group);
            if (group < 0)
                continue;
            const KeySym sym = d->keysymAt(kc, group, combination.mods);
            if (sym != NoSymbol && std::find(candidates.begin(), candidates.end(), sym) != candidates.end()) {
                return KeyValue{Key{virtualKeyForCharacter(character), static_cast<std::uint32_t>(kc)},
                                combination.bits, true};
            }
        }
    }
    return {};
}

void X11WindowSystem::sendKeyEvent(Key key, bool down, bool /*extended: no such flag on X11*/)
{
    d->ensureKeyboard();
    unsigned int keycode = key.native;
    if (keycode == 0) {
        keycode = d->keycodeFor(keysymForVirtualKey(key.vk));
        if (keycode == 0 && key.vk == VK_ALTGR_KEY)
            keycode = d->keycodeFor(XK_Mode_switch);
    }
    if (!d->xkb || keycode < d->xkb->min_key_code || keycode > d->xkb->max_key_code)
        return;
    XTestFakeKeyEvent(d->display, keycode, down ? True : False, CurrentTime);
    XFlush(d->display);
}

bool X11WindowSystem::numLockOn()
{
    d->ensureKeyboard();
    XkbStateRec state;
    if (XkbGetState(d->display, XkbUseCoreKbd, &state) != Success)
        return false;
    return d->numLockMask != 0 && (state.locked_mods & d->numLockMask) != 0;
}

void X11WindowSystem::setNumLock(bool on)
{
    d->ensureKeyboard();
    if (d->numLockMask == 0)
        return;
    XkbLockModifiers(d->display, XkbUseCoreKbd, d->numLockMask, on ? d->numLockMask : 0);
    XFlush(d->display);
}

} // namespace platform
