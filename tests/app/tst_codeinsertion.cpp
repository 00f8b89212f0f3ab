// The insertion routine on the recording window system: wrapping, clipboard, target
// decoding, the paste keystroke, and the messages when no target takes the focus.
#include "app/CodeInsertion.h"
#include "testsupport/TestProgram.h"

#include <QClipboard>
#include <QtTest>

namespace {
const QString NotActivated = QStringLiteral("La fenêtre contenant le document n'a pu être activée (ou trouvée)");
const QString NoWindow = QStringLiteral("Pas de fenêtre destination.");
} // namespace

class TestCodeInsertion : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> program;
    TfScrivo *window() const { return program->window(); }
    platform::RecordingWindowSystem &ws() const { return program->windowSystem(); }

private slots:
    void init()
    {
        program = std::make_unique<TestProgram>();
        program->messages().clear(); // one about this machine's registry files is not the test's
    }
    void cleanup() { program.reset(); }

    void wrapsOnlyCodesWithoutThePoundSign_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("complete code") << "£[RCD : actes]#" << "£[RCD : actes]#";
        QTest::newRow("bare code") << "[SG : nom]" << "£[SG : nom]#";
        QTest::newRow("pound without hash") << "£T: Date du jour" << "£T: Date du jour";
        QTest::newRow("empty") << "" << "£#";
    }
    void wrapsOnlyCodesWithoutThePoundSign()
    {
        QFETCH(QString, code);
        QFETCH(QString, text);
        ws().addWindow("lettre.odt - Traitement de texte");
        window()->FTarget = QStringLiteral("lettre.odt");
        InsertCode(window(), code);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QVERIFY(program->pasted());
        QCOMPARE(program->messages().texts(), QStringList());
    }

    void findsTheTargetByEachDescriptor_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("document title with extension") << "lettre.odt";
        QTest::newRow("document title without extension") << "courrier.txt";
        QTest::newRow("app title in another case") << "-App=COURRIER - TRAITEMENT";
        QTest::newRow("hwnd in capitals") << "-HWND=%1";
    }
    void findsTheTargetByEachDescriptor()
    {
        QFETCH(QString, target);
        ws().addWindow("Terminal");
        ws().addWindow("lettre.odt - Traitement de texte");
        const auto courrier = ws().addWindow("courrier - Traitement de texte");
        window()->FTarget = target.contains(QLatin1String("%1")) ? target.arg(courrier) : target;
        InsertCode(window(), QStringLiteral("£ORD : TOUT#"));
        QVERIFY(program->pasted());
        QCOMPARE(ws().focused != 0, true);
        QCOMPARE(program->messages().texts(), QStringList());
    }

    void failuresAreToldAndTheTextStaysOnTheClipboard_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("withParent");
        QTest::newRow("document closed") << "absent.odt" << NotActivated << true;
        QTest::newRow("app not running") << "-app=Absent" << NotActivated << true;
        QTest::newRow("own window") << "-app=Insertion des Codes" << NotActivated << true;
        QTest::newRow("hwnd not a number") << "-hwnd=12a" << NoWindow << false;
        QTest::newRow("hwnd gone") << "-hwnd=999999" << NotActivated << true;
        QTest::newRow("refuses the focus") << "-app=Sourd" << NotActivated << true;
        QTest::newRow("no argument") << "" << NotActivated << true;
    }
    void failuresAreToldAndTheTextStaysOnTheClipboard()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QFETCH(bool, withParent);
        ws().addWindow("Insertion des Codes Courriers", /*own*/ true);
        ws().addWindow("Sourd", false, /*takesFocus*/ false);
        window()->FTarget = target;

        InsertCode(window(), QStringLiteral("[SG : nom]"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("£[SG : nom]#"));
        QVERIFY(ws().keyEvents.empty());
        QCOMPARE(program->messages().texts(), QStringList{message});
        const MessageRequest &shown = program->messages().requests().first();
        QCOMPARE(shown.title, QStringLiteral("Tst_codeinsertion"));
        QCOMPARE(shown.flags, 1);
        QCOMPARE(shown.parent, withParent ? static_cast<QWidget *>(window()) : nullptr);
    }

    // A target that opens the clipboard 300 ms after its Ctrl+V: each code waits for
    // its reading, so that the next one does not replace it before (the first lost, the
    // second pasted twice).
    void eachCodeIsReadBeforeTheNext()
    {
        ws().addWindow("lettre.odt - Traitement de texte");
        window()->FTarget = QStringLiteral("lettre.odt");
        ws().servedOnRequest = true;
        QStringList pasted;
        ws().onKeys = [&pasted](const auto &) {
            QTimer::singleShot(300, [&pasted] { pasted << QGuiApplication::clipboard()->text(); });
        };
        QStringList codes;
        for (int i = 1; i <= 8; ++i) {
            codes << QStringLiteral("£[C%1]#").arg(i);
            InsertCode(window(), codes.last());
        }
        QTRY_COMPARE(pasted, codes);
        QCOMPARE(program->messages().texts(), QStringList());
    }

    void endingDuringTheFocusWaitStopsIt()
    {
        // The document closes while the insertion waits for it to take the focus.
        const auto sourd = ws().addWindow("Sourd", false, /*takesFocus*/ false);
        window()->FTarget = QStringLiteral("-app=Sourd");
        window()->FTargetSeen = true;
        QTimer::singleShot(100, window(), [this, sourd] {
            ws().removeWindow(sourd);
            window()->TimerCloseTimer();
        });
        InsertCode(window(), QStringLiteral("[SG : nom]"));
        QVERIFY(window()->FEndRequested);
        QVERIFY(ws().keyEvents.empty());
        QCOMPARE(program->messages().texts(), QStringList());
    }
};

QTEST_MAIN(TestCodeInsertion)
#include "tst_codeinsertion.moc"
