// End to end on a real X display: the document's window vanishes while a code is being
// inserted into it, at a random moment from before the search to after the paste, in
// another process (tests/tools/VanishingTarget.cpp) killed, whose window is destroyed or
// whose connection is closed by the server. Every round: the program survives, every
// X error is trapped, the user is told unless Ctrl+V was typed, nothing waits long, the
// code stays on the clipboard, and a window that outlives the insertion has the code.
// SCRIVO_STRESS_ROUNDS rounds (20 by default; scripts/stress runs more).
#include "app/CodeInsertion.h"
#include "app/ProcessObjects.h"
#include "app/Scrivo.h"
#include "app/SendKeyApi.h"
#include "platform/x11/X11WindowSystem.h"
#include "testsupport/ScriptedMessages.h"
#include "testsupport/X11Session.h"

#include <QClipboard>
#include <QRandomGenerator>
#include <QtTest>

#include <X11/Xlib.h>
#include <signal.h>

#include <array>
#include <atomic>
#include <thread>

namespace {

const QString NotActivated = QStringLiteral("La fenêtre contenant le document n'a pu être activée (ou trouvée)");

// Where the insertion was when the window was made to vanish.
enum Phase { BeforeSearch, Search, Activation, FocusWait, Paste, Typed, Returned, PhaseCount };
const std::array<const char *, PhaseCount> PhaseNames = {"before the search", "search", "activation", "focus wait",
                                                         "paste", "paste typed", "insertion over"};

// The X11 window system, noting how far the insertion has gone and whether Ctrl+V went
// to the target.
class PhaseTracker : public platform::WindowSystem {
public:
    explicit PhaseTracker(platform::WindowSystem &inner) : FInner(inner) {}
    std::atomic<int> phase = BeforeSearch;
    platform::WindowHandle target = 0;
    int keyEvents = 0;
    bool typedElsewhere = false;

    void reach(Phase p)
    {
        int current = phase.load();
        while (current < p && !phase.compare_exchange_weak(current, p)) {
        }
    }
    std::vector<platform::WindowHandle> topLevelWindows() override
    {
        reach(Search);
        return FInner.topLevelWindows();
    }
    std::string windowTitle(platform::WindowHandle w) override
    {
        reach(Search);
        return FInner.windowTitle(w);
    }
    bool windowExists(platform::WindowHandle w) override
    {
        reach(Search);
        return FInner.windowExists(w);
    }
    bool activateWindow(platform::WindowHandle w) override
    {
        reach(Activation);
        return FInner.activateWindow(w);
    }
    bool windowHasFocus(platform::WindowHandle w) override
    {
        reach(FocusWait);
        return FInner.windowHasFocus(w);
    }
    void refreshKeyboardLayout() override
    {
        reach(Paste);
        FInner.refreshKeyboardLayout();
    }
    platform::KeyValue keyForCharacter(char32_t c) override { return FInner.keyForCharacter(c); }
    void sendKeyEvent(platform::Key key, bool down, bool extended) override
    {
        reach(Paste);
        if (keyEvents++ == 0)
            typedElsewhere = !FInner.windowHasFocus(target);
        FInner.sendKeyEvent(key, down, extended);
        if (keyEvents == 4)
            reach(Typed);
    }
    bool numLockOn() override { return FInner.numLockOn(); }
    void setNumLock(bool on) override { FInner.setNumLock(on); }
    bool clipboardServedOnRequest() override { return FInner.clipboardServedOnRequest(); }
    bool isClipboardContentRequest(const char *eventType, const void *event, platform::WindowHandle w) override
    {
        return FInner.isClipboardContentRequest(eventType, event, w);
    }
    bool clipboardTextTaken() override { return FInner.clipboardTextTaken(); }

private:
    platform::WindowSystem &FInner;
};

std::atomic<int> untrappedErrors = 0;
int countUntrapped(Display *, XErrorEvent *)
{
    ++untrappedErrors;
    return 0;
}

struct Tally {
    int rounds = 0, told = 0, typed = 0, pasted = 0, typedElsewhere = 0;
};

} // namespace

class TestVanishingTarget : public QObject {
    Q_OBJECT

private slots:
    void targetVanishesDuringTheInsertion()
    {
        SCRIVO_SKIP_WITHOUT_X11_DISPLAY();
        std::string error;
        auto x11 = platform::X11WindowSystem::open(error);
        QVERIFY2(x11, error.c_str());
        XSetErrorHandler(countUntrapped); // instead of Xlib's, which ends the process
        auto tracked = std::make_unique<PhaseTracker>(*x11);
        PhaseTracker &tracker = *tracked;
        TInsertionRoad road(std::move(tracked));
        TCProcessObjects objects;
        TfScrivo window;
        window.FInsertionRoad = &road;
        window.show();
        window.TimerStart->stop(); // each round sets the target
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ScriptedMessages messages;

        const int rounds = qEnvironmentVariableIntValue("SCRIVO_STRESS_ROUNDS") > 0
            ? qEnvironmentVariableIntValue("SCRIVO_STRESS_ROUNDS") : 20;
        const std::array<int, 3> ways = {SIGKILL, SIGUSR1, SIGUSR2};
        const unsigned long trappedBefore = platform::X11WindowSystem::trappedErrors();
        std::array<Tally, PhaseCount> tally{};
        QStringList faults;
        qint64 longest = 0;
        QElapsedTimer total;
        total.start();
        for (int round = 0; round < rounds && faults.size() < 10; ++round) {
            const QString title = QStringLiteral("vanishing-%1.txt - Cible").arg(round);
            QProcess target;
            target.start(qEnvironmentVariable("SCRIVO_VANISHING_TARGET"), {title});
            QVERIFY2(target.waitForStarted(), "no VanishingTarget (SCRIVO_VANISHING_TARGET)");
            QByteArray ready;
            for (int wait = 0; !ready.endsWith('\n') && wait < 100; ++wait) {
                target.waitForReadyRead(100);
                ready += target.readAllStandardOutput();
            }
            QVERIFY2(ready.startsWith("ready "), qPrintable(title + QStringLiteral(": no window")));
            const quint64 handle = ready.mid(6).trimmed().toULongLong();
            const std::array<QString, 3> descriptors = {QStringLiteral("vanishing-%1.txt").arg(round),
                                                        QStringLiteral("-app=vanishing-%1").arg(round),
                                                        QStringLiteral("-hwnd=%1").arg(handle)};
            window.FTarget = descriptors[round % 3];
            tracker.phase = BeforeSearch;
            tracker.target = handle;
            tracker.keyEvents = 0;
            tracker.typedElsewhere = false;
            messages.clear();

            // The insertion starts 20 ms after the clock of the vanishing does; every other
            // round aims at its first tens of ms, where the search and activation are.
            const int delay = round % 2 ? 10 + QRandomGenerator::global()->bounded(60)
                                        : QRandomGenerator::global()->bounded(320);
            const int way = ways[QRandomGenerator::global()->bounded(3)];
            std::atomic<int> phase = BeforeSearch;
            const pid_t pid = static_cast<pid_t>(target.processId());
            std::thread vanishing([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                phase = tracker.phase.load();
                ::kill(pid, way);
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            QElapsedTimer clock;
            clock.start();
            const QString code = QStringLiteral("£[VANISHING %1]#").arg(round);
            InsertCode(&window, code);
            longest = std::max(longest, clock.elapsed());
            tracker.reach(Returned);
            vanishing.join();
            // A window still there may fetch the clipboard a little later (served by the
            // event loop).
            const bool typed = tracker.keyEvents > 0;
            const QByteArray expected = ("paste " + code).toUtf8();
            QByteArray output = target.readAllStandardOutput();
            QElapsedTimer late;
            late.start();
            while (typed && !output.contains(expected) && late.elapsed() < 300 && target.state() == QProcess::Running) {
                QTest::qWait(20);
                output += target.readAllStandardOutput();
            }
            target.kill();
            target.waitForFinished();
            output += target.readAllStandardOutput();
            const bool pasted = output.contains(expected);

            Tally &t = tally[phase];
            const QStringList told = messages.texts();
            ++t.rounds;
            t.told += !told.isEmpty();
            t.typed += typed;
            t.pasted += pasted;
            t.typedElsewhere += typed && tracker.typedElsewhere;
            const QString where = QStringLiteral("round %1 (%2, %3 ms, signal %4, %5): ")
                                      .arg(round).arg(PhaseNames[phase]).arg(delay).arg(way).arg(window.FTarget.Descriptor);
            if (told != (typed ? QStringList() : QStringList{NotActivated}))
                faults << where + QStringLiteral("told ") + told.join(u'|') + (typed ? " after Ctrl+V" : "");
            if (typed && tracker.keyEvents != 4)
                faults << where + QString::number(tracker.keyEvents) + QStringLiteral(" key events");
            if (QGuiApplication::clipboard()->text() != code)
                faults << where + QStringLiteral("clipboard ") + QGuiApplication::clipboard()->text();
            if (phase == Returned && !pasted)
                faults << where + QStringLiteral("the code never reached the window");
            if (clock.elapsed() > 1500)
                faults << where + QStringLiteral("the insertion took %1 ms").arg(clock.elapsed());
        }

        qInfo("%d rounds in %lld s, the longest insertion %lld ms; X errors trapped %lu, not trapped %d",
              rounds, total.elapsed() / 1000, longest, platform::X11WindowSystem::trappedErrors() - trappedBefore,
              untrappedErrors.load());
        for (int p = 0; p < PhaseCount; ++p) {
            const Tally &t = tally[p];
            qInfo("  %-18s %4d rounds: told %4d, Ctrl+V typed %4d (%d without the target's focus), pasted %4d",
                  PhaseNames[p], t.rounds, t.told, t.typed, t.typedElsewhere, t.pasted);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        // The trap is there: a request on a window gone raises an error it counts.
        const unsigned long trapped = platform::X11WindowSystem::trappedErrors();
        QVERIFY(x11->windowTitle(tracker.target).empty());
        QVERIFY(platform::X11WindowSystem::trappedErrors() > trapped);
        QCOMPARE(untrappedErrors.load(), 0);
        QVERIFY(window.isVisible());
    }
};

SCRIVO_E2E_MAIN(TestVanishingTarget)
#include "tst_vanishing_target_e2e.moc"
