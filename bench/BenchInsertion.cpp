// P1: a code from InsertCode to the text in a document open in mousepad, against the
// pipeline a Linux user would script on the same document (xclip, then xdotool
// activating the window and typing Ctrl+V), measured alternately; and 20 codes in a row.
// The text has landed once mousepad marks its document as modified ("*" before the
// title), which this process watches on a connection of its own to the X server.
#include "BenchSupport.h"

#include "app/CodeInsertion.h"
#include "app/ProcessObjects.h"
#include "app/SendKeyApi.h"
#include "app/Scrivo.h"
#include "platform/x11/X11WindowSystem.h"
#include "support/WinTools.h"
#include "testsupport/X11Session.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>

namespace {

// Follows the title of a window: the moment it last began with "*", or lost it.
class TitleWatch final {
public:
    explicit TitleWatch(unsigned long window)
        : FDisplay(XOpenDisplay(nullptr))
        , FWindow(window)
    {
        FNetName = XInternAtom(FDisplay, "_NET_WM_NAME", False);
        FUtf8 = XInternAtom(FDisplay, "UTF8_STRING", False);
        XSelectInput(FDisplay, FWindow, PropertyChangeMask);
        XFlush(FDisplay);
        FNotifier = std::make_unique<QSocketNotifier>(ConnectionNumber(FDisplay), QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { Read(); });
        Modified = Title().startsWith(u'*');
    }
    ~TitleWatch()
    {
        FNotifier.reset();
        XCloseDisplay(FDisplay);
    }
    TitleWatch(const TitleWatch &) = delete;
    TitleWatch &operator=(const TitleWatch &) = delete;

    bool Modified = false;
    std::int64_t ModifiedAt = 0;

    /// Runs the event loop until the document's modified mark is `modified`; false
    /// after `timeoutMs`.
    bool WaitFor(bool modified, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (Modified != modified && clock.elapsed() < timeoutMs) {
            Read();
            if (Modified != modified)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        return Modified == modified;
    }

private:
    QString Title()
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        QString title;
        if (XGetWindowProperty(FDisplay, FWindow, FNetName, 0, 1024, False, FUtf8, &type, &format, &count, &after,
                               &data) == Success && data) {
            title = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(count));
            XFree(data);
        }
        return title;
    }
    void Read()
    {
        bool changed = false;
        while (XPending(FDisplay)) {
            XEvent event;
            XNextEvent(FDisplay, &event);
            if (event.type == PropertyNotify && event.xproperty.atom == FNetName)
                changed = true;
        }
        if (!changed)
            return;
        const bool modified = Title().startsWith(u'*');
        if (modified && !Modified)
            ModifiedAt = MonotonicNs();
        Modified = modified;
    }

    Display *FDisplay;
    unsigned long FWindow;
    Atom FNetName = None;
    Atom FUtf8 = None;
    std::unique_ptr<QSocketNotifier> FNotifier;
};

// Runs a program to its end with the event loop running; false when it fails.
bool RunAsync(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return false;
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The user's pipeline: the text on the clipboard, the window activated, Ctrl+V.
bool Pipeline(const QString &text, quint64 window)
{
    return RunAsync(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard")}, text.toUtf8())
        && RunAsync(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                                QString::number(window), QStringLiteral("key"), QStringLiteral("ctrl+v")});
}

// Saves the document (it is no longer marked as modified) and gives the focus back to
// Scrivo's window, so that every run starts from the same state.
bool Reset(MousepadDocument &document, TitleWatch &watch, QWidget &scrivo)
{
    RunAsync(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                         QString::number(document.window()), QStringLiteral("key"),
                                         QStringLiteral("ctrl+s")});
    const bool saved = watch.WaitFor(false, 5000);
    RunAsync(QStringLiteral("xdotool"),
             {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(scrivo.winId())});
    QEventLoop pause;
    QTimer::singleShot(100, &pause, &QEventLoop::quit);
    pause.exec();
    return saved;
}

// The document as saved on disk.
QString SavedText(const MousepadDocument &document)
{
    QFile file(document.path());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString Code(int serial)
{
    return QStringLiteral("£[QQD%1 : Poids é £ ¤ • € œ]#").arg(serial);
}

} // namespace

int BenchInsertion()
{
    TCProcessObjects objects;
    std::string error;
    std::unique_ptr<platform::X11WindowSystem> windowSystem = platform::X11WindowSystem::open(error);
    if (!windowSystem) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    TInsertionRoad road(std::move(windowSystem));
    auto window = std::make_unique<TfScrivo>();
    window->FInsertionRoad = &road;
    window->show();
    window->TimerStart->stop(); // no start-up: the target is set here
    MousepadDocument document(QStringLiteral("bench.txt"));
    if (!document.open()) {
        std::fprintf(stderr, "mousepad did not open its document\n");
        return 1;
    }
    window->FTarget = QStringLiteral("bench.txt");
    TitleWatch watch(document.window());

    Figure scrivo(QStringLiteral("P1 insert.one.scrivo"));
    Figure pipeline(QStringLiteral("P1 insert.one.xclip+xdotool"));
    int serial = 0;
    for (int run = 0; run <= BenchRuns(); ++run) {
        for (const bool ours : {true, false}) {
            if (!Reset(document, watch, *window)) {
                std::fprintf(stderr, "mousepad did not save its document\n");
                return 1;
            }
            const std::int64_t start = MonotonicNs();
            if (ours)
                InsertCode(window.get(), Code(++serial));
            else
                Pipeline(Code(++serial), document.window());
            if (!watch.WaitFor(true, 5000)) {
                std::fprintf(stderr, "the code never reached the document\n");
                return 1;
            }
            if (run > 0)
                (ours ? scrivo : pipeline).samples.push_back(MsBetween(start, watch.ModifiedAt));
        }
    }
    PrintFigure(scrivo, &pipeline, QStringLiteral("InsertCode to the text in mousepad"));
    PrintFigure(pipeline);

    // 20 codes in a row: the total, and whether the document holds all of them, each
    // once and in order (a code fetched late by the target would be the next one).
    Figure scrivoRow(QStringLiteral("P1 insert.twenty.scrivo"));
    Figure pipelineRow(QStringLiteral("P1 insert.twenty.xclip+xdotool"));
    int scrivoRight = 0, pipelineRight = 0;
    const int rowRuns = qMax(2, BenchRuns() / 2);
    for (int run = 0; run <= rowRuns; ++run) {
        for (const bool ours : {true, false}) {
            Reset(document, watch, *window);
            const QString content = SavedText(document);
            QString expected;
            const std::int64_t start = MonotonicNs();
            for (int code = 0; code < 20; ++code) {
                const QString text = Code(++serial);
                expected += text;
                if (ours)
                    InsertCode(window.get(), text);
                else
                    Pipeline(text, document.window());
            }
            const std::int64_t ended = MonotonicNs();
            watch.WaitFor(true, 5000);
            // Whatever is still on its way lands before the document is read back.
            QEventLoop pause;
            QTimer::singleShot(500, &pause, &QEventLoop::quit);
            pause.exec();
            const QString now = document.saveAndRead();
            const bool right = now == content + expected;
            if (!right && qEnvironmentVariableIsSet("SCRIVO_BENCH_VERBOSE"))
                std::fprintf(stderr, "expected:\n%s\nfound:\n%s\n", qPrintable(expected),
                             qPrintable(now.right(expected.size() + 200)));
            if (run == 0)
                continue;
            (ours ? scrivoRow : pipelineRow).samples.push_back(MsBetween(start, ended));
            (ours ? scrivoRight : pipelineRight) += right ? 1 : 0;
        }
    }
    PrintFigure(scrivoRow, &pipelineRow,
                QStringLiteral("document right %1/%2").arg(scrivoRight).arg(scrivoRow.samples.size()));
    PrintFigure(pipelineRow, nullptr,
                QStringLiteral("document right %1/%2").arg(pipelineRight).arg(pipelineRow.samples.size()));

    QGuiApplication::clipboard()->setText(QString()); // the last xclip lets go
    window.reset();
    return 0;
}
