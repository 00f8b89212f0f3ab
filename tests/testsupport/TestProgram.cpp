#include "TestProgram.h"

#include "app/SendKeyApi.h"

#include <QTest>
#include <QTimer>

TestProgram::TestProgram(Upto upto) : TestProgram(upto, new platform::RecordingWindowSystem) {}

TestProgram::TestProgram(Upto upto, platform::RecordingWindowSystem *windowSystem)
    : FInsertionRoad(std::unique_ptr<platform::WindowSystem>(windowSystem))
    , FWindowSystem(*windowSystem)
{
    if (upto != Upto::WindowSystem)
        createObjects();
    if (upto == Upto::Window)
        createWindow();
}

TestProgram::~TestProgram()
{
    FWindow.reset();
    FObjects.reset();
}

bool TestProgram::showOnLetter()
{
    FWindowSystem.addWindow("lettre.odt - Traitement de texte");
    FWindow->show();
    FWindow->TimerStart->stop();
    const bool exposed = QTest::qWaitForWindowExposed(FWindow.get());
    FWindow->FTarget = QStringLiteral("lettre.odt");
    return exposed;
}

bool TestProgram::pasted() const
{
    using Event = platform::RecordingWindowSystem::KeyEvent;
    const std::vector<Event> ctrlV = {{{0x11, 0}, true, false}, {{'V', 0}, true, false},
                                      {{'V', 0}, false, false}, {{0x11, 0}, false, false}};
    return FWindowSystem.keyEvents == ctrlV;
}
