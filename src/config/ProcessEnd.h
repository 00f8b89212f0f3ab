// The end of the process when it does not come through the event loop: the toolkit ends
// the process with exit() once its display connection breaks (the X server gone at a
// logout), and so does Xlib. The exit handlers would then run the database client's own
// shutdown with the database still attached, which may wait for ever on threads of its
// own, holding an embedded database's lock. Instead the database is detached first,
// within a bound, and the process ends at once, the remaining exit handlers skipped.
#pragma once

/// Held by the program entry while its event loop may run: an exit() meanwhile (once a
/// database was attached) detaches the database and ends the process. Once it is
/// destroyed, the entry's own end (the process objects freed in order) runs as usual.
class TProcessEnd {
public:
    TProcessEnd();
    ~TProcessEnd();
    TProcessEnd(const TProcessEnd &) = delete;
    TProcessEnd &operator=(const TProcessEnd &) = delete;
};

/// Called after each attachment, once the database client has set up its own exit
/// handlers: the guard's runs before them.
void GuardExitAfterAttachment();
