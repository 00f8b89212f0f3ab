#include "DialogOwner.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

QWidget *DialogOwner(QWidget *requested)
{
    if (requested)
        return requested->window();
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    const auto isMainWindow = [](const QWidget *window) {
        return window && window->isVisible() && !qobject_cast<const QDialog *>(window)
               && window->windowType() != Qt::Popup && window->windowType() != Qt::ToolTip
               && window->windowType() != Qt::Desktop;
    };
    if (QWidget *active = QApplication::activeWindow(); isMainWindow(active))
        return active;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        if (isMainWindow(window))
            return window;
    return nullptr;
}

void StandAboveOwner(QWidget *dialog, QWidget *owner)
{
    // A parent makes the dialog transient for it: the window manager keeps it above and
    // Qt centres it there. Not every window manager lifts a transient into its parent's
    // always-on-top layer, so the dialog asks for that layer itself.
    if (!owner || owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
