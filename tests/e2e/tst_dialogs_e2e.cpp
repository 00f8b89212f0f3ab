// The real program's dialogs under the test display and its window manager: each one
// shows above the always-on-top main window, centred on it, and closing it leaves the
// program running; the link tooltips show while the document is the active window.
#include "testsupport/X11Session.h"

#include <QtTest>

namespace {

// The host panel starts after the 109-pixel button column and the 5-pixel splitter.
constexpr int HostLeft = 114;
constexpr int DiversButtonTop = 160;

// What is wrong with where `dialog` stands: it should be above `owner`, its centre on the owner's (within the frames'
// difference).
QString PlacementProblem(const QString &dialog, const QString &owner)
{
    if (!StackedAbove(dialog, owner))
        return QStringLiteral("the dialog is stacked under the main window");
    const QPoint offset = WindowGeometry(dialog).center() - WindowGeometry(owner).center();
    if (offset.manhattanLength() > 40)
        return QStringLiteral("the dialog is not centred on the main window: offset %1, %2").arg(offset.x()).arg(offset.y());
    return {};
}

} // namespace

class TestDialogsEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SCRIVO_SKIP_WITHOUT_X11_DISPLAY();
    }

    // Divers > a question link: the input dialog answered with Enter or its OK button
    // gives its code, and the program goes on (the last dialog closed is not the end).
    void questionDialogLeavesTheProgramRunning_data()
    {
        QTest::addColumn<int>("linkTop"); // in the group box at (2, 87)
        QTest::addColumn<bool>("okButton");
        QTest::addColumn<QString>("code");
        QTest::newRow("free text, Enter") << 14 << false << "£ZC:Motif#";
        QTest::newRow("date, OK button") << 60 << true << "£ZD:Motif#";
    }
    void questionDialogLeavesTheProgramRunning()
    {
        QFETCH(int, linkTop);
        QFETCH(bool, okButton);
        QFETCH(QString, code);
        MousepadDocument document(QStringLiteral("courrier.txt"));
        QVERIFY(document.open());
        ScrivoProcess scrivo;
        SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo);
        QVERIFY(scrivo.start({QStringLiteral("-app=courrier.txt"), QStringLiteral("x")}));

        QVERIFY(scrivo.chooseCategory(DiversButtonTop));
        QVERIFY(scrivo.clickAt(HostLeft + 2 + 8 + 30, 87 + linkTop + 8));
        const QString dialog = scrivo.waitForWindow(QStringLiteral("Question posé à l'utilisateur"));
        QVERIFY(!dialog.isEmpty());
        const QString problem = PlacementProblem(dialog, scrivo.window());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));

        QVERIFY(TypeText(QStringLiteral("Motif")));
        if (okButton) // "&Ok" at (276, 116), 79 × 29
            QVERIFY(RunCommand(QStringLiteral("xdotool"), {"mousemove", "--window", dialog, "315", "130", "click", "1"}));
        else
            QVERIFY(PressKeys(QStringLiteral("Return")));
        QVERIFY(document.waitUntilModified());
        QCOMPARE(document.saveAndRead(), code);
        QTest::qWait(500);
        QVERIFY2(scrivo.running(), "the program ended when the dialog closed");

        // Closing the main window through the window manager (openbox: Alt+F4) ends it.
        QVERIFY(RunCommand(QStringLiteral("xdotool"),
                           {"windowactivate", "--sync", scrivo.window(), "key", "--clearmodifiers", "alt+F4"}));
        QVERIFY2(scrivo.endsWithin(5000), "closing the main window did not end the program");
    }

    // "-v": the trace boxes, the first before the main window shows, the others above it
    // and centred on it; once the last one is closed, the program goes on and inserts.
    void traceBoxesLeaveTheProgramRunning()
    {
        MousepadDocument document(QStringLiteral("courrier.txt"));
        QVERIFY(document.open());
        ScrivoProcess scrivo;
        SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo);
        QVERIFY(scrivo.start({QStringLiteral("-app=courrier.txt"), QStringLiteral("-v")}, false));

        int boxes = 0;
        for (QString box; !(box = scrivo.waitForWindow(QStringLiteral("Scrivo"), 3000)).isEmpty(); ++boxes) {
            QVERIFY2(boxes < 10, "the trace boxes do not end");
            if (boxes > 0) { // the first one comes before the main window
                QVERIFY(scrivo.waitForMainWindow());
                const QString problem = PlacementProblem(box, scrivo.window());
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
            }
            QVERIFY(PressKeys(QStringLiteral("Return")));
            QTRY_VERIFY_WITH_TIMEOUT(!scrivo.windows().contains(box), 10000);
        }
        QVERIFY(boxes >= 2);
        QVERIFY2(scrivo.running(), "the program ended with the last trace box");
        QVERIFY(scrivo.waitForStartUp());

        // "Insérer Date du Jour" at (8, 14) in its group box at (1, 4).
        QVERIFY(scrivo.chooseCategory(DiversButtonTop));
        QVERIFY(scrivo.clickAt(HostLeft + 1 + 8 + 40, 4 + 14 + 8));
        QVERIFY(document.waitUntilModified());
        QCOMPARE(document.saveAndRead(), QStringLiteral("£T: Date du jour#"));
    }

    // After an insertion the document is the active window; the pointer resting on a
    // link still shows the link's tooltip (a window of the program's own).
    void tooltipsShowOverAnInactiveWindow()
    {
        MousepadDocument document(QStringLiteral("courrier.txt"));
        QVERIFY(document.open());
        ScrivoProcess scrivo;
        SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo);
        QVERIFY(scrivo.start({QStringLiteral("-app=courrier.txt"), QStringLiteral("x")}));

        // "Insérer £Ord : tout#" at (8, 14) in its group box at (200, 4).
        const QPoint link(HostLeft + 200 + 8 + 30, 4 + 14 + 8);
        QVERIFY(scrivo.chooseCategory(DiversButtonTop));
        QVERIFY(scrivo.clickAt(link.x(), link.y()));
        QVERIFY(document.waitUntilModified());
        QString active;
        QTRY_VERIFY(RunCommand(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}, &active)
                    && active.toULongLong() == document.window());

        // The toolkit learns that its window is no longer active a moment after the window
        // manager has told it, and then forgets a hover that came before; as a user's hand
        // would, the pointer moves on over the link until the tooltip shows.
        const qsizetype before = scrivo.windows().size();
        QElapsedTimer clock;
        clock.start();
        const auto tooltipShows = [&] { return scrivo.windows().size() > before; };
        for (int step = 0; !tooltipShows() && clock.elapsed() < 15000; ++step) {
            QVERIFY(RunCommand(QStringLiteral("xdotool"), {"mousemove", "--window", scrivo.window(),
                                                           QString::number(link.x() + 4 + step % 2 * 4),
                                                           QString::number(link.y())}));
            (void)QTest::qWaitFor(tooltipShows, 1500); // the tooltip shows 700 ms after the last move
        }
        QVERIFY2(tooltipShows(), "no tooltip showed over the inactive window");
    }
};

SCRIVO_E2E_MAIN(TestDialogsEndToEnd)
#include "tst_dialogs_e2e.moc"
