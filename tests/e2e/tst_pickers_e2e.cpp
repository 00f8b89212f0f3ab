// End to end with the real program on the Firebird fixture: a category chosen with its
// button, a link clicked or a list entry double-clicked with the real pointer, or a code
// searched with the keyboard alone, and the code read back from the saved mousepad
// document.
#include "testsupport/X11Session.h"

#include <QtTest>

class TestPickersEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SCRIVO_SKIP_WITHOUT_X11_DISPLAY();
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
        ScrivoProcess scrivo;
        SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo);
        QVERIFY(scrivo.start({QStringLiteral("-app=ordonnance.txt"), second}));
        // "-qre=" has hosted its picker by the end of the start-up: the button changes nothing.
        if (second.startsWith(QStringLiteral("-qre=")))
            QVERIFY(scrivo.clickAt(50, buttonTop + 16));
        else
            QVERIFY(scrivo.chooseCategory(buttonTop));
        QVERIFY(scrivo.clickAt(114 + point.x(), point.y(), clicks));

        QVERIFY(document.waitUntilModified());
        QCOMPARE(document.saveAndRead(), code);
    }

    // The keyboard alone: another category opened (Alt+D), then Ctrl+F, a few letters,
    // Enter.
    void searchedCodeReachesTheDocument()
    {
        MousepadDocument document(QStringLiteral("ordonnance.txt"));
        QVERIFY(document.open());
        ScrivoProcess scrivo;
        SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo);
        QVERIFY(scrivo.start({QStringLiteral("-app=ordonnance.txt"), QStringLiteral("x")}));
        QVERIFY(RunCommand(QStringLiteral("xdotool"), {"windowactivate", "--sync", scrivo.window()}));
        QVERIFY(scrivo.chooseCategoryByKeys(QStringLiteral("alt+d")));
        QVERIFY(PressKeys(QStringLiteral("ctrl+f")));
        QVERIFY(TypeText(QStringLiteral("date jour")));
        QVERIFY(PressKeys(QStringLiteral("Return")));

        QVERIFY(document.waitUntilModified());
        QCOMPARE(document.saveAndRead(), QStringLiteral("£T: Date du jour#"));
    }
};

SCRIVO_E2E_MAIN(TestPickersEndToEnd)
#include "tst_pickers_e2e.moc"
