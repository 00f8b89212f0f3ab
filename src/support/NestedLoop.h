// Code that runs the event loop from inside an event handler (waiting for another
// window to take the focus, a retry pause, a list scrolled into view) lets the user
// click elsewhere meanwhile. A click may then ask to destroy a widget whose own handler
// is still on the stack, below the nested loop. Such code holds a TNestedLoop; widgets
// retired while one is held are deleted only once the outermost one has returned.
#pragma once

class QObject;

class TNestedLoop {
public:
    TNestedLoop();
    ~TNestedLoop();
    TNestedLoop(const TNestedLoop &) = delete;
    TNestedLoop &operator=(const TNestedLoop &) = delete;

    /// Whether some code below is running the event loop.
    static bool Running();
    /// Deletes `object` once the outermost nested loop has returned and the event
    /// being handled then is over (at once when none runs).
    static void DeleteAfter(QObject *object);
};
