#include "HostedMainWindow.h"

#include "config/CConnexion.h"
#include "support/WrkGraphics.h"

HostedMainWindow::HostedMainWindow()
    : TestProgram(Upto::Objects)
    , PickerDriver(static_cast<TestProgram &>(*this))
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
