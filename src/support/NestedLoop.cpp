#include "NestedLoop.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace {
int gDepth = 0;
QList<QPointer<QObject>> gRetired;
} // namespace

TNestedLoop::TNestedLoop()
{
    ++gDepth;
}

TNestedLoop::~TNestedLoop()
{
    if (--gDepth > 0)
        return;
    // The handler that held the outermost loop may still be on the stack: a deferred
    // deletion posted now runs only after the event it handles is over.
    const QList<QPointer<QObject>> retired = std::exchange(gRetired, {});
    for (const QPointer<QObject> &object : retired)
        if (object)
            object->deleteLater();
}

bool TNestedLoop::Running()
{
    return gDepth > 0;
}

void TNestedLoop::DeleteAfter(QObject *object)
{
    if (gDepth > 0)
        gRetired << object;
    else
        delete object;
}
