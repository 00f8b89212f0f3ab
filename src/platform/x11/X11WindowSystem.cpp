// X11 window system (see X11WindowSystem.h).
//
// Windows: the client list of the EWMH window manager (_NET_CLIENT_LIST), or, without
// one, the viewable children of the root; the program's own windows (_NET_WM_PID) are
// left out of the list searches. Every call that names a window that may have vanished
// runs under an ErrorTrap, which turns X errors into a flag instead of the default
// handler's exit().
//
// Keys: X11Keyboard translates characters and fakes the key events, on the same Display.
#include "platform/x11/X11WindowSystem.h"

#include "platform/x11/X11ClientIds.h"
#include "platform/x11/X11Keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

namespace platform {
namespace {

// Catches the X errors of one Display while in scope; process-global handler, restored
// when the outermost trap ends. Traps nest (a query made under a trap may open its own):
// an inner one keeps its own errors and gives the outer one's back when it ends. Errors
// of other Display connections go to the handler that was there before.
class ErrorTrap {
public:
    explicit ErrorTrap(Display *display) : m_display(display), m_outerDisplay(s_display)
    {
        if (s_depth++ == 0)
            s_previous = XSetErrorHandler(&ErrorTrap::handler);
        XSync(display, False); // an error of an earlier request must not count here
        m_outerError = s_error;
        s_display = display;
        s_error = Success;
    }
    ~ErrorTrap()
    {
        XSync(m_display, False);
        s_display = m_outerDisplay;
        s_error = m_outerError;
        if (--s_depth == 0) {
            XSetErrorHandler(s_previous);
            s_previous = nullptr;
        }
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
    /// Errors caught by every trap so far.
    static unsigned long trapped() { return s_trapped; }

private:
    static int handler(Display *display, XErrorEvent *event)
    {
        if (display == s_display) {
            ++s_trapped;
            if (s_error == Success)
                s_error = event->error_code;
            return 0;
        }
        return s_previous ? s_previous(display, event) : 0;
    }

    Display *m_display;
    Display *m_outerDisplay;
    int m_outerError = Success;
    static inline int s_depth = 0;
    static inline Display *s_display = nullptr;
    static inline int s_error = Success;
    static inline XErrorHandler s_previous = nullptr;
    static inline std::atomic<unsigned long> s_trapped = 0;
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

// `format` is the item size the caller reads (8 or 32; 0 when it reads no item): a
// property of another format, which any client may set, counts as absent rather than
// being read past its end.
Property readProperty(Display *display, Window window, Atom property, Atom type, int format)
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
    if (p.type == None || (type != AnyPropertyType && p.type != type) || (format != 0 && p.format != format))
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

} // namespace

struct X11WindowSystem::Private {
    Display *display = nullptr;
    Window root = None;
    Atom netSupported = None, netSupportingWmCheck = None, netClientList = None, netActiveWindow = None,
         netWmName = None, netWmPid = None, utf8String = None, wmState = None, compoundText = None;
    Atom clipboard = None, text = None;
    unsigned long clientIdBits = 0;
    std::map<Atom, bool> textFormats; // other atoms, by name: text/plain and its variants
    // The requestor's window and property of the clipboard text last asked for.
    Window transferWindow = None;
    Atom transferProperty = None;

    void endTransferWatch()
    {
        if (transferWindow == None)
            return;
        ErrorTrap trap(display);
        XSelectInput(display, transferWindow, NoEventMask);
        XFlush(display);
        transferWindow = None;
    }

    bool isTextFormat(Atom target)
    {
        if (target == utf8String || target == XA_STRING || target == text || target == compoundText)
            return true;
        const auto known = textFormats.find(target);
        if (known != textFormats.end())
            return known->second;
        ErrorTrap trap(display);
        char *name = XGetAtomName(display, target);
        const bool plain = name && std::strncmp(name, "text/plain", 10) == 0;
        if (name)
            XFree(name);
        textFormats[target] = plain;
        return plain;
    }
    std::set<WindowHandle> excluded;
    std::unique_ptr<X11Keyboard> keyboard; // on `display`, so freed before it is closed

    ~Private()
    {
        endTransferWatch();
        keyboard.reset();
        if (display)
            XCloseDisplay(display);
    }

    // Window queries; callers hold an ErrorTrap.

    // Whether a live EWMH window manager supports `atom`: the root's _NET_SUPPORTED, trusted
    // only while the window named by _NET_SUPPORTING_WM_CHECK exists and names itself
    // (a window manager that crashed leaves its properties behind).
    bool supports(Atom atom)
    {
        const Property check = readProperty(display, root, netSupportingWmCheck, XA_WINDOW, 32);
        if (check.count == 0)
            return false;
        const Property self = readProperty(display, check.item32(0), netSupportingWmCheck, XA_WINDOW, 32);
        if (self.count == 0 || self.item32(0) != check.item32(0))
            return false;
        const Property p = readProperty(display, root, netSupported, XA_ATOM, 32);
        for (unsigned long i = 0; i < p.count; ++i) {
            if (p.item32(i) == atom)
                return true;
        }
        return false;
    }

    bool hasWmState(Window window)
    {
        return readProperty(display, window, wmState, wmState, 0).count > 0;
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
            const Property p = readProperty(display, root, netClientList, XA_WINDOW, 32);
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

    unsigned long processOf(WindowHandle window)
    {
        const Property p = readProperty(display, window, netWmPid, XA_CARDINAL, 32);
        return p.count > 0 ? p.item32(0) : 0;
    }

    bool isOwn(WindowHandle window)
    {
        return excluded.count(window) || processOf(window) == static_cast<unsigned long>(getpid());
    }

    bool isTopLevel(WindowHandle window)
    {
        const std::vector<WindowHandle> list = topLevel();
        return std::find(list.begin(), list.end(), window) != list.end();
    }

    bool isIconic(Window window)
    {
        const Property p = readProperty(display, window, wmState, wmState, 32);
        return p.count > 0 && p.item32(0) == IconicState;
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
                           "_NET_WM_PID", "UTF8_STRING", "WM_STATE", "COMPOUND_TEXT", "CLIPBOARD", "TEXT"};
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
    p->clipboard = atoms[9];
    p->text = atoms[10];
    p->clientIdBits = ClientIdBits(p->display);
    p->keyboard = std::make_unique<X11Keyboard>(p->display);
    error.clear();
    return std::unique_ptr<X11WindowSystem>(new X11WindowSystem(std::move(p)));
}

unsigned long X11WindowSystem::trappedErrors()
{
    return ErrorTrap::trapped();
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
    const Property netName = readProperty(d->display, window, d->netWmName, d->utf8String, 8);
    if (netName.count > 0)
        return netName.bytes();
    const Property name = readProperty(d->display, window, XA_WM_NAME, AnyPropertyType, 8);
    if (name.count == 0)
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

std::uint64_t X11WindowSystem::windowProcess(WindowHandle window)
{
    if (!validHandle(window))
        return 0;
    ErrorTrap trap(d->display);
    return d->processOf(window);
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

namespace {

// A SelectionRequest event as the X protocol lays it out (and XCB delivers it).
struct SelectionRequestWire {
    std::uint8_t responseType;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t time, owner, requestor, selection, target, property;
};
static_assert(sizeof(SelectionRequestWire) == 28);

} // namespace

bool X11WindowSystem::isClipboardContentRequest(const char *eventType, const void *event, WindowHandle window)
{
    if (!event || !eventType || std::strcmp(eventType, "xcb_generic_event_t") != 0)
        return false;
    SelectionRequestWire request;
    std::memcpy(&request, event, sizeof request);
    // The high bit marks an event sent by a client rather than by the server.
    if ((request.responseType & 0x7f) != SelectionRequest || request.selection != d->clipboard)
        return false;
    if ((request.requestor & d->clientIdBits) != (window & d->clientIdBits))
        return false;
    // A paste may first ask for formats of its own (GTK's rich text, say), which are
    // refused; the text is asked for in one of the text formats.
    if (!d->isTextFormat(request.target))
        return false;
    // The text is written to a property of the requestor's window, which it deletes
    // once read (ICCCM 2.4): watched from this connection, before the toolkit answers.
    d->endTransferWatch();
    ErrorTrap trap(d->display);
    d->transferWindow = request.requestor;
    d->transferProperty = request.property != None ? request.property : request.target;
    XSelectInput(d->display, d->transferWindow, PropertyChangeMask | StructureNotifyMask);
    XSync(d->display, False);
    if (trap.take() == BadWindow)
        d->transferWindow = None;
    return true;
}

bool X11WindowSystem::clipboardTextTaken()
{
    if (d->transferWindow == None)
        return true;
    ErrorTrap trap(d->display);
    XEvent event;
    bool taken = false;
    while (!taken && XCheckWindowEvent(d->display, d->transferWindow, PropertyChangeMask | StructureNotifyMask, &event)) {
        if (event.type == PropertyNotify)
            taken = event.xproperty.atom == d->transferProperty && event.xproperty.state == PropertyDelete;
        else
            taken = event.type == DestroyNotify; // nobody left to read it
    }
    if (taken)
        d->endTransferWatch();
    return taken;
}

void X11WindowSystem::refreshKeyboardLayout()
{
    d->keyboard->refreshLayout();
}

KeyValue X11WindowSystem::keyForCharacter(char32_t character)
{
    return d->keyboard->keyForCharacter(character);
}

void X11WindowSystem::sendKeyEvent(Key key, bool down, bool /*extended: no such flag on X11*/)
{
    d->keyboard->sendKeyEvent(key, down);
}

bool X11WindowSystem::userModifiersDown()
{
    return d->keyboard->modifiersDown();
}

bool X11WindowSystem::numLockOn()
{
    return d->keyboard->numLockOn();
}

void X11WindowSystem::setNumLock(bool on)
{
    d->keyboard->setNumLock(on);
}

} // namespace platform
