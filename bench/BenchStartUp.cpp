// P2 and P4: the real program started again and again, as the practice application
// starts it, on a document whose word processor returns at once.
//   P2: from exec to the end of StartUp (window ready, document opened), the start
//       timer's wait shown apart from the work.
//   P4: the peak resident memory once every picker has been hosted in turn.
// The driver runs the child (this executable, "startup-child") and reads the moments it
// prints on the monotonic clock, which every process of the machine shares.
#include "BenchSupport.h"

#include "app/CodeInsertion.h"
#include "app/ProcessObjects.h"
#include "app/SendKeyApi.h"
#include "app/Scrivo.h"
#include "pickers/CouCodeAntecedent.h"
#include "pickers/CouCodeCollateraux.h"
#include "pickers/CouCodeCorresp.h"
#include "pickers/CouCodeDivers.h"
#include "pickers/CouCodeMedecin.h"
#include "pickers/CouCodeOrdo.h"
#include "pickers/CouCodePmsi.h"
#include "pickers/CouCodeQre.h"
#include "pickers/CouCodeSignaletique.h"
#include "pickers/CouVariable.h"
#include "platform/x11/X11WindowSystem.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>

#include <cstdio>

namespace {

// Notes when the start timer is armed (the window's first activation) and when it
// fires: the wait in between is the timer's, not work.
class StartTimerWatch final : public QObject {
public:
    explicit StartTimerWatch(QTimer *timer)
        : FTimer(timer)
    {
    }
    std::int64_t Armed = 0;
    std::int64_t Fired = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!Armed && FTimer->isActive())
            Armed = MonotonicNs();
        if (watched == FTimer && event->type() == QEvent::Timer && !Fired)
            Fired = MonotonicNs();
        return false;
    }

private:
    QTimer *FTimer;
};

} // namespace

// The program as its entry builds it (main.cpp), then the moments, and with
// `openPickers` every picker in turn and the peak memory.
int StartUpChild(int argc, char **argv, const QString &document, bool openPickers)
{
    QApplication application(argc, argv);
    TCProcessObjects processObjects;
    std::string error;
    TInsertionRoad road(platform::X11WindowSystem::open(error));

    TfScrivo mainWindow;
    mainWindow.FInsertionRoad = &road;
    mainWindow.FArguments = {QCoreApplication::applicationFilePath(), document};
    TfWrkGraphics imageStore;
    TfCouCodeOrdo hiddenPrescriptionPicker(&mainWindow);
    hiddenPrescriptionPicker.hide();

    StartTimerWatch watch(mainWindow.TimerStart);
    application.installEventFilter(&watch);
    // Connected after the window's own handler: runs once StartUp has returned.
    QObject::connect(mainWindow.TimerStart, &QTimer::timeout, &mainWindow, [&] {
        const std::int64_t ended = MonotonicNs();
        application.removeEventFilter(&watch);
        std::printf("armed %lld fired %lld ended %lld\n", static_cast<long long>(watch.Armed),
                    static_cast<long long>(watch.Fired), static_cast<long long>(ended));
        if (openPickers) {
            mainWindow.UnfoldWindow();
            for (const QMetaObject *picker :
                 {&TfCouCodeSignaletique::staticMetaObject, &TfCouCodeCollateraux::staticMetaObject,
                  &TfCouCodeQre::staticMetaObject, &TfCouCodeAntecedent::staticMetaObject,
                  &TfCouCodeOrdo::staticMetaObject, &TfCouCodeDivers::staticMetaObject,
                  &TfCouCodeMedecin::staticMetaObject, &TfCouCodeCorresp::staticMetaObject,
                  &TfCouCodePmsi::staticMetaObject, &TfCouVariable::staticMetaObject}) {
                mainWindow.ShowPicker(picker);
                QApplication::processEvents();
            }
            std::printf("peak %.1f\n", PeakResidentMb());
        }
        std::fflush(stdout);
        QTimer::singleShot(0, &application, &QCoreApplication::quit);
    });
    mainWindow.show();
    return application.exec();
}

namespace {

struct ChildRun {
    bool ok = false;
    std::int64_t started = 0, armed = 0, fired = 0, ended = 0;
    double peak = 0;
};

ChildRun RunChild(const QString &document, bool openPickers)
{
    ChildRun run;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{QStringLiteral("startup-child"), document};
    if (openPickers)
        arguments << QStringLiteral("--pickers");
    run.started = MonotonicNs();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        return run;
    }
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    for (const QString &line : output.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList words = line.split(u' ');
        if (words.size() == 6 && words[0] == QLatin1String("armed")) {
            run.armed = words[1].toLongLong();
            run.fired = words[3].toLongLong();
            run.ended = words[5].toLongLong();
            run.ok = run.armed && run.fired && run.ended;
        } else if (words.size() == 2 && words[0] == QLatin1String("peak")) {
            run.peak = words[1].toDouble();
        }
    }
    return run;
}

} // namespace

int BenchStartUp(const QString &label, const QString &document)
{
    Figure total(QStringLiteral("P2 startup.total.") + label);
    Figure timer(QStringLiteral("P2 startup.timer.") + label);
    Figure work(QStringLiteral("P2 startup.work.") + label);
    for (int run = 0; run <= BenchRuns(); ++run) {
        const ChildRun child = RunChild(document, false);
        if (!child.ok) {
            std::fprintf(stderr, "the program did not report the end of its start-up\n");
            return 1;
        }
        if (run == 0)
            continue;
        total.samples.push_back(MsBetween(child.started, child.ended));
        timer.samples.push_back(MsBetween(child.armed, child.fired));
        work.samples.push_back(total.samples.back() - timer.samples.back());
    }
    PrintFigure(work, nullptr, QStringLiteral("exec to end of StartUp, start timer's wait left out"));
    PrintFigure(timer);
    PrintFigure(total);
    return 0;
}

int BenchMemory(const QString &label, const QString &document)
{
    Figure peak(QStringLiteral("P4 memory.peak.allpickers.") + label, QStringLiteral("MB"));
    const int runs = qMax(1, BenchRuns() / 2);
    for (int run = 0; run < runs; ++run) {
        const ChildRun child = RunChild(document, true);
        if (!child.ok || child.peak <= 0) {
            std::fprintf(stderr, "the program did not report its peak memory\n");
            return 1;
        }
        peak.samples.push_back(child.peak);
    }
    PrintFigure(peak, nullptr, QStringLiteral("VmHWM after every picker hosted in turn"));
    return 0;
}
