// A document window that can vanish on demand, for tst_vanishing_target_e2e: a plain X
// window titled argv[1] that takes the focus and, on Ctrl+V, pastes the clipboard.
// Standard output: "ready <window id>" once the window manager has mapped it, then
// "paste <text>" for every paste. SIGUSR1 destroys the window from a second connection
// (the process lives on), SIGUSR2 has the server close the window's connection
// (XKillClient, the process then ends); SIGKILL is the third way.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

volatile sig_atomic_t request = 0;

void onSignal(int signal)
{
    request = signal;
}

int ignoreError(Display *, XErrorEvent *)
{
    return 0;
}

int connectionClosed(Display *)
{
    _exit(0);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    Display *display = XOpenDisplay(nullptr);
    Display *control = XOpenDisplay(nullptr);
    if (!display || !control)
        return 1;
    XSetErrorHandler(ignoreError);
    XSetIOErrorHandler(connectionClosed);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGUSR1, &action, nullptr);
    sigaction(SIGUSR2, &action, nullptr);
    // Blocked but while waiting in ppoll(), so that no request slips in before the wait.
    sigset_t blocked, waiting;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigaddset(&blocked, SIGUSR2);
    sigprocmask(SIG_BLOCK, &blocked, &waiting);

    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 200, 0, 0,
                                              WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, argv[1]);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<unsigned char *>(argv[1]), static_cast<int>(std::strlen(argv[1])));
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display, window, &hints);
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    XFlush(display);
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    const Atom pasted = XInternAtom(display, "VANISHING_TARGET_PASTE", False);

    for (;;) {
        if (request == SIGUSR1) {
            XDestroyWindow(control, window);
            XSync(control, False);
        } else if (request == SIGUSR2) {
            XKillClient(control, window);
            XSync(control, False);
        }
        request = 0;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                std::printf("ready %lu\n", window);
            } else if (event.type == KeyPress && (event.xkey.state & ControlMask)
                       && XLookupKeysym(&event.xkey, 0) == XK_v) {
                XConvertSelection(display, clipboard, utf8, pasted, window, event.xkey.time);
            } else if (event.type == SelectionNotify && event.xselection.property != None) {
                Atom type = None;
                int format = 0;
                unsigned long count = 0, after = 0;
                unsigned char *data = nullptr;
                if (XGetWindowProperty(display, window, pasted, 0, 4096, True, AnyPropertyType, &type, &format,
                                       &count, &after, &data)
                        == Success
                    && data) {
                    std::printf("paste %.*s\n", static_cast<int>(count), reinterpret_cast<char *>(data));
                    XFree(data);
                }
            }
            std::fflush(stdout);
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        if (!XPending(display))
            ppoll(&connection, 1, nullptr, &waiting);
    }
}
