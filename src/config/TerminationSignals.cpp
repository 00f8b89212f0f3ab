// SIGINT and SIGTERM taken back from the Firebird client, and SIGHUP (see
// TerminationSignals.h): the handler writes to a pipe, and the event loop, woken by the
// pipe, quits the application.
#include "TerminationSignals.h"

#include "DatabaseSession.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

std::atomic<int> gSignalsReceived = 0; // lock-free: safe in a signal handler
constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void WriteSignalToPipe(int signalNumber)
{
    if (gSignalsReceived.fetch_add(1) > 0)
        _exit(128 + signalNumber);
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = write(gSignalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

void TakeBackTerminationSignals()
{
    struct sigaction action = {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = SIG_DFL;
    if (QCoreApplication *application = QCoreApplication::instance()) {
        static QPointer<QSocketNotifier> notifier;
        if (gSignalPipe[0] < 0 && pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            gSignalPipe[0] = gSignalPipe[1] = -1;
        if (gSignalPipe[0] >= 0) {
            if (!notifier) {
                notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, application);
                QObject::connect(notifier, &QSocketNotifier::activated, application, [] {
                    char buffer[16];
                    while (read(gSignalPipe[0], buffer, sizeof buffer) > 0) {
                    }
                    qCInfo(lcConnexion) << "termination signal: quitting";
                    QCoreApplication::quit();
                });
            }
            action.sa_handler = WriteSignalToPipe;
            action.sa_flags = SA_RESTART;
        }
    }
    for (const int signalNumber : Signals)
        sigaction(signalNumber, &action, nullptr);
}

void RestoreDefaultTerminationSignals()
{
    for (const int signalNumber : Signals)
        std::signal(signalNumber, SIG_DFL);
}
