// Program entry: the process-wide objects, the window system, the main window, then
// the event loop until the program ends.
#include "ProcessObjects.h"
#include "Scrivo.h"
#include "SendKeyApi.h"
#include "pickers/CouCodeOrdo.h"
#include "platform/WindowSystem.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setWindowIcon(ScrivoIcon());
    TCProcessObjects processObjects;

    std::string windowSystemError;
    std::unique_ptr<platform::WindowSystem> windowSystem = platform::openWindowSystem(windowSystemError);
    SetWindowSystem(windowSystem.get());
    SetSendKeysMessageHandler([](const std::string &text, const std::string &title) {
        MsgBox(nullptr, QString::fromStdString(text), QString::fromStdString(title), mfOk);
    });

    TfScrivo mainWindow;
    TfWrkGraphics imageStore;
    // The prescription picker exists from the start, hidden.
    TfCouCodeOrdo hiddenPrescriptionPicker(&mainWindow);
    hiddenPrescriptionPicker.hide();
    mainWindow.show();
    if (!windowSystem)
        MsgBox(&mainWindow, QString::fromStdString(windowSystemError), QStringLiteral("*APP*"), mfOk);

    const int result = application.exec();
    SetWindowSystem(nullptr);
    return result;
}
