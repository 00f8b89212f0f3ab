// End to end with the real program: a category chosen with its button, a link clicked
// with the real pointer, and the code read back from the saved mousepad document.
#include "testsupport/X11Session.h"

#include <QtTest>

class TestPickersEndToEnd : public QObject {
    Q_OBJECT

    // Clicks at (x, y) of a window's client area with the real pointer.
    static bool clickAt(const QString &window, int x, int y)
    {
        return RunCommand(QStringLiteral("xdotool"), {"mousemove", "--window", window, QString::number(x),
                                                      QString::number(y), "click", "1"});
    }

private slots:
    void initTestCase()
    {
        if (!HasX11Display())
            QSKIP("needs an X display (scripts/test starts one)");
    }

    void linkClickReachesTheDocument()
    {
        MousepadDocument document(QStringLiteral("ordonnance.txt"));
        QVERIFY(document.open());

        // Two arguments: the window starts unfolded, targeting the document by title.
        QTemporaryDir workstation;
        QProcess scrivo;
        scrivo.setProcessEnvironment(WorkstationEnvironment(workstation.path(), QStringLiteral("/bin/true")));
        if (scrivo.processEnvironment().isEmpty())
            QSKIP("no Firebird fixture (run through scripts/test)");
        scrivo.start(qEnvironmentVariable("SCRIVO_BINARY"), {QStringLiteral("-app=ordonnance.txt"), QStringLiteral("x")});
        QVERIFY(scrivo.waitForStarted());
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(RunCommand(QStringLiteral("xdotool"),
                                            {"search", "--onlyvisible", "--pid", QString::number(scrivo.processId())},
                                            &window) && !window.isEmpty(), 20000);
        window = window.section(u'\n', 0, 0);
        QTest::qWait(500); // the start-up runs 250 ms after the window shows

        // "&Divers" is at (0, 160) in the button column; the picker's first link,
        // "Insérer Date du Jour", at (8, 14) in its group box at (1, 4) of the host
        // panel, which starts after the 109-pixel column and the 5-pixel splitter.
        QVERIFY(clickAt(window, 50, 176));
        QTest::qWait(300);
        QVERIFY(clickAt(window, 114 + 1 + 8 + 40, 4 + 14 + 8));

        QVERIFY(document.waitUntilModified());
        QCOMPARE(document.saveAndRead(), QStringLiteral("£T: Date du jour#"));
        scrivo.kill();
        scrivo.waitForFinished();
    }
};

SCRIVO_E2E_MAIN(TestPickersEndToEnd)
#include "tst_pickers_e2e.moc"
