#include "HostedMainWindow.h"

#include "config/CConnexion.h"
#include "support/WrkGraphics.h"

#include <QClipboard>
#include <QGuiApplication>

HostedMainWindow::HostedMainWindow()
    : TestProgram(Upto::Objects)
    , FGraphics(std::make_unique<TfWrkGraphics>())
{
    createWindow();
    if (!showOnLetter())
        qWarning("the main window was not exposed");
}

HostedMainWindow::~HostedMainWindow()
{
    if (FProgramConnexion)
        gConnexion = *FProgramConnexion;
    destroyWindow(); // before the image store it draws with
}

void HostedMainWindow::useConnexion(TCConnexion *connexion)
{
    if (!FProgramConnexion)
        FProgramConnexion = gConnexion;
    gConnexion = connexion;
}

QString HostedMainWindow::insertedBy(const std::function<void()> &action)
{
    const QString untouched = QStringLiteral("(intact)");
    auto &keyEvents = windowSystem().keyEvents;
    keyEvents.clear();
    QGuiApplication::clipboard()->setText(untouched);
    action();
    const QString text = QGuiApplication::clipboard()->text();
    if (keyEvents.empty() && text == untouched)
        return QString();
    if (pasted())
        return text;
    return QStringLiteral("%1 key events, %2").arg(keyEvents.size()).arg(text);
}
