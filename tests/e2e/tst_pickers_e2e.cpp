// End to end with the real program on the Firebird fixture: a category chosen with its
// button, a link clicked or a list entry double-clicked with the real pointer, and the
// code read back from the saved mousepad document.
#include "testsupport/X11Session.h"

#include <QtTest>

class TestPickersEndToEnd : public QObject {
    Q_OBJECT

    // Clicks (once or more) at (x, y) of a window's client area with the real pointer.
    static bool clickAt(const QString &window, int x, int y, int clicks)
    {
        return RunCommand(QStringLiteral("xdotool"), {"mousemove", "--window", window, QString::number(x),
                                                      QString::number(y), "click", "--repeat", QString::number(clicks),
                                                      "--delay", "80", "1"});
    }

private slots:
    void initTestCase()
    {
        if (!HasX11Display())
            QSKIP("needs an X display (scripts/test starts one)");
    }

    // A category chosen with its button, then one click (a link) or a double click (a
    // list entry) at a point of the hosted picker; the host panel starts after the
    // 109-pixel button column and the 5-pixel splitter.
    void chosenCodeReachesTheDocument_data()
    {
        QTest::addColumn<QString>("second"); // second argument of the command line
        QTest::addColumn<int>("buttonTop");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("code");
        // "Insérer Date du Jour": at (8, 14) in its group box at (1, 4).
        QTest::newRow("miscellaneous link") << "x" << 160 << QPoint(1 + 8 + 40, 4 + 14 + 8) << 1 << "£T: Date du jour#";
        // First node of the identity tree at (5, 7): the patient group.
        QTest::newRow("identity tree") << "x" << 0 << QPoint(5 + 40, 7 + 10) << 2 << "£[SG : Patient]#";
        // First field of the collateral list at (20, 40), first mode selected.
        QTest::newRow("collateral field") << "x" << 32 << QPoint(20 + 40, 40 + 10) << 2 << "£SAT : Nom#";
        // First antecedent category of the list at (4, 4), categories selected.
        QTest::newRow("antecedent category") << "x" << 96 << QPoint(4 + 40, 4 + 10) << 2 << "£[ATC4 : Allergies £ intolérances]#";
        // Questionnaire 7 named on the command line: its first question in the list at
        // (232, 20) of the group box at (4, 4), below the list's header.
        QTest::newRow("questionnaire question") << "-qre=7" << 64 << QPoint(4 + 232 + 40, 4 + 20 + 32) << 2
                                                << "£[QQC109 : Poids (kg)]#";
    }
    void chosenCodeReachesTheDocument()
    {
        QFETCH(QString, second);
        QFETCH(int, buttonTop);
        QFETCH(QPoint, point);
        QFETCH(int, clicks);
        QFETCH(QString, code);
        MousepadDocument document(QStringLiteral("ordonnance.txt"));
        QVERIFY(document.open());

        // Two arguments: the window starts unfolded, targeting the document by title.
        QTemporaryDir workstation;
        QProcess scrivo;
        scrivo.setProcessEnvironment(WorkstationEnvironment(workstation.path(), QStringLiteral("/bin/true")));
        if (scrivo.processEnvironment().isEmpty())
            QSKIP("no Firebird fixture (run through scripts/test)");
        scrivo.start(qEnvironmentVariable("SCRIVO_BINARY"), {QStringLiteral("-app=ordonnance.txt"), second});
        QVERIFY(scrivo.waitForStarted());
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(RunCommand(QStringLiteral("xdotool"),
                                            {"search", "--onlyvisible", "--pid", QString::number(scrivo.processId())},
                                            &window) && !window.isEmpty(), 20000);
        window = window.section(u'\n', 0, 0);
        QTest::qWait(1000); // the start-up runs 250 ms after the window shows, then connects

        QVERIFY(clickAt(window, 50, buttonTop + 16, 1));
        QTest::qWait(500);
        QVERIFY(clickAt(window, 114 + point.x(), point.y(), clicks));

        QVERIFY(document.waitUntilModified());
        QCOMPARE(document.saveAndRead(), code);
        scrivo.kill();
        scrivo.waitForFinished();
    }
};

SCRIVO_E2E_MAIN(TestPickersEndToEnd)
#include "tst_pickers_e2e.moc"
