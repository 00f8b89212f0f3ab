#include "AccessibleEvents.h"

#include <QWidget>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>

namespace {

AccessibleEvents *gRecorder = nullptr;

// What a platform's bridge does when a screen reader comes: the program starts telling.
void SetActive(bool active)
{
    if (QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->setActive(active);
}

} // namespace

AccessibleEvents::AccessibleEvents()
{
    gRecorder = this;
    FPrevious = QAccessible::installUpdateHandler(&AccessibleEvents::record);
    SetActive(true);
}

AccessibleEvents::~AccessibleEvents()
{
    SetActive(false);
    QAccessible::installUpdateHandler(FPrevious);
    gRecorder = nullptr;
}

void AccessibleEvents::record(QAccessibleEvent *event)
{
    if (!gRecorder)
        return;
    const bool checked = event->type() == QAccessible::StateChanged
                         && static_cast<QAccessibleStateChangeEvent *>(event)->changedStates().checked;
    gRecorder->FEvents.append({event->object(), event->type(), checked});
}

bool AccessibleEvents::announced(const QObject *object, QAccessible::Event type) const
{
    return std::any_of(FEvents.begin(), FEvents.end(),
                       [&](const Event &event) { return event.object == object && event.type == type; });
}

bool AccessibleEvents::announcedChecked(const QObject *object) const
{
    return std::any_of(FEvents.begin(), FEvents.end(),
                       [&](const Event &event) { return event.object == object && event.checked; });
}

QAccessibleInterface *AccessibleOf(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}
