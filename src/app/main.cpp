// Program entry: the process-wide objects, the window system, the main window, then
// the event loop until the program ends.
#include "CodeInsertion.h"
#include "CommandLine.h"
#include "ProcessObjects.h"
#include "Scrivo.h"
#include "SendKeyApi.h"
#include "config/ProcessEnd.h"
#include "pickers/CouCodeOrdo.h"
#include "platform/WindowSystem.h"
#include "support/MessageSeam.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"

#include <QApplication>

#ifdef _WIN32
#include "platform/windows/LibrarySearch.h"
#endif

#include <cstdio>

namespace {

// On a platform without a screen (QT_QPA_PLATFORM=offscreen, or minimal where Qt has no
// offscreen plugin, as the Windows build made here) nobody can answer a dialog:
// each message goes to the standard error instead, and the answer is the one that acts
// on nothing (No to a question, Cancel to an input), so that the program never waits.
void TellOnStandardError()
{
    MessageSeam::setHook([](const MessageRequest &request) {
        std::fprintf(stderr, "%s : %s\n", qUtf8Printable(request.title), qUtf8Printable(request.text));
        std::fflush(stderr);
        MessageReply reply;
        if (request.kind == MessageRequest::Kind::InputText || (request.flags & (mfOkCancel | mfYesNoCancel)))
            reply.button = idCancel;
        else if (request.flags & mfYesNo)
            reply.button = idNo;
        return reply;
    });
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef _WIN32
    platform::win::restrictLibrarySearch(); // before Qt loads its plugins
#endif
    if (AsksForUsage(argc, argv)) {
        std::fputs(UsageText().toUtf8().constData(), stdout);
        return 0;
    }
    QApplication application(argc, argv);
    // The program ends where it decides to (close timer, "&Fermer", a start-up failure,
    // the main window closed), never because the toolkit saw a dialog close last: the
    // main window, a tool window, does not count as one of its windows.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(ScrivoIcon());
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        TellOnStandardError();
    TCProcessObjects processObjects;

    std::string windowSystemError;
    TInsertionRoad insertionRoad(platform::openWindowSystem(windowSystemError));
    SetSendKeysMessageHandler([](const std::string &text, const std::string &title) {
        MsgBox(nullptr, QString::fromStdString(text), QString::fromStdString(title), mfOk);
    });

    TfScrivo mainWindow;
    mainWindow.FInsertionRoad = &insertionRoad;
    TfWrkGraphics imageStore;
    // The prescription picker exists from the start, hidden.
    TfCouCodeOrdo hiddenPrescriptionPicker(&mainWindow);
    hiddenPrescriptionPicker.hide();
    mainWindow.show();
    if (!insertionRoad.HasWindowSystem())
        MsgBox(&mainWindow, QString::fromStdString(windowSystemError), QStringLiteral("*APP*"), mfOk);

    // The event loop ends the program; an exit() from below it (the display lost) ends it
    // through the guard.
    const TProcessEnd processEnd;
    return application.exec();
}
