#include "HostedMainWindow.h"

#include "app/ProcessObjects.h"
#include "app/SendKeyApi.h"
#include "support/WrkGraphics.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>

HostedMainWindow::HostedMainWindow()
    : FMessages(std::make_unique<ScriptedMessages>())
    , FObjects(std::make_unique<TCProcessObjects>())
    , FWindowSystem(std::make_unique<platform::RecordingWindowSystem>())
    , FGraphics(std::make_unique<TfWrkGraphics>())
    , FWindow(std::make_unique<TfScrivo>())
{
    FWindowSystem->addWindow("lettre.odt - Traitement de texte");
    SetWindowSystem(FWindowSystem.get());
    FWindow->show();
    FWindow->TimerStart->stop(); // the pickers are tested without the start-up
    if (!QTest::qWaitForWindowExposed(FWindow.get()))
        qWarning("the main window was not exposed");
    FWindow->FTarget = QStringLiteral("lettre.odt");
}

HostedMainWindow::~HostedMainWindow()
{
    FWindow.reset();
    FGraphics.reset();
    SetWindowSystem(nullptr);
}

QString HostedMainWindow::insertedBy(const std::function<void()> &action)
{
    const QString untouched = QStringLiteral("(intact)");
    FWindowSystem->keyEvents.clear();
    QGuiApplication::clipboard()->setText(untouched);
    action();
    const QString text = QGuiApplication::clipboard()->text();
    using Event = platform::RecordingWindowSystem::KeyEvent;
    const std::vector<Event> ctrlV = {{{0x11, 0}, true, false}, {{'V', 0}, true, false},
                                      {{'V', 0}, false, false}, {{0x11, 0}, false, false}};
    if (FWindowSystem->keyEvents.empty() && text == untouched)
        return QString();
    if (FWindowSystem->keyEvents == ctrlV)
        return text;
    return QStringLiteral("%1 key events, %2").arg(FWindowSystem->keyEvents.size()).arg(text);
}
