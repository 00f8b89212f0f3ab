// What the program tells assistive technology, seen in process: accessibility switched
// on, and every event it announces kept until the recorder goes.
#pragma once

#include <QAccessible>
#include <QList>
#include <QPointer>

class QWidget;

class AccessibleEvents {
public:
    AccessibleEvents();
    ~AccessibleEvents();
    AccessibleEvents(const AccessibleEvents &) = delete;
    AccessibleEvents &operator=(const AccessibleEvents &) = delete;

    /// Whether `object` announced `type` since the last clear().
    bool announced(const QObject *object, QAccessible::Event type) const;
    /// Whether `object` announced that it was checked or unchecked since the last clear().
    bool announcedChecked(const QObject *object) const;
    void clear() { FEvents.clear(); }

private:
    struct Event {
        QPointer<QObject> object;
        QAccessible::Event type;
        bool checked; // a change of the checked state
    };
    static void record(QAccessibleEvent *event);

    QList<Event> FEvents;
    QAccessible::UpdateHandler FPrevious;
};

/// The interface assistive technology gets for `widget` (never null for a widget).
QAccessibleInterface *AccessibleOf(QWidget *widget);
