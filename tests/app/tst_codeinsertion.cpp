// The insertion road on the recording window system alone: wrapping, clipboard, the
// choice of the target window, the paste keystroke, the queue of codes behind a slow
// reader, and what is told when no code could be typed.
#include "app/CodeInsertion.h"
#include "support/StrMan.h"
#include "testsupport/RecordingWindowSystem.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

namespace {
using Result = TInsertionRoad::TResult;
const QString NotActivated = QStringLiteral("La fenêtre contenant le document n'a pu être activée (ou trouvée)");
const QString NoWindow = QStringLiteral("Pas de fenêtre destination.");
const QString ModifiersHeld = QStringLiteral("Une touche Maj, Ctrl, Alt ou Windows est restée enfoncée");
const QString NotRead = QStringLiteral("Le document n'a pas lu le code");
const std::vector<platform::KeyEvent> CtrlV = {
    {{0x11, 0}, true, false}, {{'V', 0}, true, false}, {{'V', 0}, false, false}, {{0x11, 0}, false, false}};
} // namespace

class TestCodeInsertion : public QObject {
    Q_OBJECT

    platform::RecordingWindowSystem *ws = nullptr; ///< the road's
    std::unique_ptr<TInsertionRoad> road;
    bool ending = false;

    TInsertionRoad::TAnswer insert(const QString &target, const QString &code)
    {
        return road->InsertCode(TInsertionTarget(target), code, ending);
    }
    QString titleOf(platform::WindowHandle window) { return QString::fromStdString(ws->windowTitle(window)); }

private slots:
    // The descriptor's decoding uses the process-wide string manager.
    void initTestCase() { StringManager = new TStringManager; }
    void cleanupTestCase()
    {
        delete StringManager;
        StringManager = nullptr;
    }
    void init()
    {
        ws = new platform::RecordingWindowSystem;
        road = std::make_unique<TInsertionRoad>(std::unique_ptr<platform::WindowSystem>(ws));
        ending = false;
    }
    void cleanup() { road.reset(); }

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
        ws->addWindow("lettre.odt - Traitement de texte");
        QCOMPARE(insert(QStringLiteral("lettre.odt"), code).Result, Result::Inserted);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QCOMPARE(ws->keyEvents, CtrlV);
    }

    // Which window receives Ctrl+V: the one whose title is the document's, or begins
    // with its name, before any that merely contains it (a mail about it, another
    // letter); a name is cut before its last ".". "-hwnd=" handles above 2^31 are given
    // sign-extended by 64-bit Windows, in either written form.
    void choosesTheDocumentsWindow_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("chosen"); // empty: none
        QTest::addColumn<int>("started");    // the window of the word processor started here; -1: none
        const QString word = QStringLiteral("Dr.Martin - Word");
        QTest::newRow("name with dots, extension hidden")
            << "Dr.Martin.docx" << QStringList{"Re: Dr - Messagerie", "Dr.Martin - Word"} << word << -1;
        QTest::newRow("date in the name") << "CR 15.01.2024.docx"
                                          << QStringList{"CR 15 - Navigateur", "CR 15.01.2024 - Word"}
                                          << "CR 15.01.2024 - Word" << -1;
        QTest::newRow("beginning before containing")
            << "lettre.docx" << QStringList{"Re: lettre.docx - Messagerie", "lettre - Word"} << "lettre - Word" << -1;
        QTest::newRow("containing when nothing begins with it")
            << "lettre.txt" << QStringList{"Terminal", "*lettre.txt - Mousepad"} << "*lettre.txt - Mousepad" << -1;
        QTest::newRow("exact title first") << "-app=Courrier" << QStringList{"Courrier - brouillon", "Courrier"}
                                           << "Courrier" << -1;
        QTest::newRow("app title in another case")
            << "-App=COURRIER - TRAITEMENT" << QStringList{"courrier - Traitement de texte"}
            << "courrier - Traitement de texte" << -1;
        QTest::newRow("the word processor started here, among windows containing the name")
            << "lettre.txt" << QStringList{"Re: lettre.txt - Messagerie", "*lettre.txt - Mousepad", "Brouillon de lettre.txt"}
            << "*lettre.txt - Mousepad" << 1;
        QTest::newRow("only the first part of the name") << "Dr.Martin.docx" << QStringList{"Dr - Messagerie"} << "" << -1;
        QTest::newRow("no argument") << "" << QStringList{"Terminal"} << "" << -1;
        QTest::newRow("hwnd in capitals") << "-HWND=%1" << QStringList{"Sans titre"} << "Sans titre" << -1;
        QTest::newRow("hwnd above 2^31, unsigned") << "-hwnd=2147487744" << QStringList{"Haut"} << "Haut" << -1;
        QTest::newRow("hwnd above 2^31, negative") << "-hwnd=-2147479552" << QStringList{"Haut"} << "Haut" << -1;
    }
    void choosesTheDocumentsWindow()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, titles);
        QFETCH(QString, chosen);
        QFETCH(int, started);
        if (QString(QTest::currentDataTag()).contains(QLatin1String("2^31")))
            ws->nextHandle = 0xFFFFFFFF80001000ull; // 0x80001000 as 64-bit Windows widens it
        platform::WindowHandle last = 0;
        for (const QString &title : titles) {
            last = ws->addWindow(title.toStdString());
            ws->processes[last] = 100 + titles.indexOf(title);
        }
        if (target.contains(QLatin1String("%1")))
            target = target.arg(last);
        TInsertionTarget decoded(target);
        decoded.StartedProcess = started >= 0 ? 100 + started : 0;
        const auto answer = road->InsertCode(decoded, QStringLiteral("£ORD : TOUT#"), ending);
        if (chosen.isEmpty()) {
            QCOMPARE(answer.Message, NotActivated);
            QVERIFY(ws->keyEvents.empty());
            return;
        }
        QCOMPARE(answer.Result, Result::Inserted);
        QCOMPARE(titleOf(ws->focused), chosen);
        QVERIFY(road->TargetExists(decoded));
    }

    // A window once found stays the target while it lives and shows the document, even
    // where the search leaves it out (Windows cloaks the windows of another virtual
    // desktop); a window left out is never found anew.
    void aFoundWindowStaysTheTarget()
    {
        const TInsertionTarget target(QStringLiteral("lettre.docx"));
        const auto word = ws->addWindow("lettre - Word");
        QVERIFY(road->TargetExists(target));
        ws->unseen.push_back(word);
        QVERIFY(road->TargetExists(target));
        QCOMPARE(insert(target.Descriptor, QStringLiteral("[SG : nom]")).Result, Result::Inserted);
        ws->setTitle(word, "Word"); // the document closed, the program's window left
        QVERIFY(!road->TargetExists(target));
        ws->setTitle(word, "lettre - Word");
        QVERIFY(!road->TargetExists(target));
    }

    void failuresAreToldAndTheTextStaysOnTheClipboard_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("owned");
        QTest::newRow("document closed") << "absent.odt" << NotActivated << true;
        QTest::newRow("app not running") << "-app=Absent" << NotActivated << true;
        QTest::newRow("own window") << "-app=Insertion des Codes" << NotActivated << true;
        QTest::newRow("hwnd not a number") << "-hwnd=12a" << NoWindow << false;
        QTest::newRow("hwnd gone") << "-hwnd=999999" << NotActivated << true;
        QTest::newRow("refuses the focus") << "-app=Sourd" << NotActivated << true;
        QTest::newRow("Alt held down") << "-app=Lettre" << ModifiersHeld << true;
        QTest::newRow("never reads the code") << "-app=Lettre" << NotRead << true;
    }
    void failuresAreToldAndTheTextStaysOnTheClipboard()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QFETCH(bool, owned);
        ws->addWindow("Insertion des Codes Courriers", /*own*/ true);
        ws->addWindow("Sourd", false, /*takesFocus*/ false);
        ws->addWindow("Lettre");
        ws->modifierPolls = message == ModifiersHeld ? 1000000 : 0;
        ws->servedOnRequest = message == NotRead;

        const auto answer = insert(target, QStringLiteral("[SG : nom]"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("£[SG : nom]#"));
        QCOMPARE(answer.Result, Result::Told);
        QVERIFY2(answer.Message.startsWith(message), qPrintable(answer.Message));
        QCOMPARE(answer.MessageOwned, owned);
        QCOMPARE(ws->keyEvents.empty(), message != NotRead);
    }

    // A target that reads the clipboard late, each code clicked while the one before
    // waits: none replaces the code on the clipboard before it is read, so each arrives
    // once, in order. A target still at work is waited for past the usual bound, and
    // the status panel says so.
    void codesClickedMeanwhileFollowInOrder_data()
    {
        QTest::addColumn<int>("readAfterMs");
        QTest::addColumn<bool>("busy");
        QTest::newRow("reads within the usual bound") << 300 << false;
        QTest::newRow("still at work, reads later") << 2500 << true;
    }
    void codesClickedMeanwhileFollowInOrder()
    {
        QFETCH(int, readAfterMs);
        QFETCH(bool, busy);
        ws->addWindow("lettre.odt - Traitement de texte");
        ws->servedOnRequest = true;
        ws->busy = busy;
        QStringList pasted, statuses;
        connect(road.get(), &TInsertionRoad::StatusChanged, this, [&statuses](const QString &text) { statuses << text; });
        const QStringList codes = {"£[C1]#", "£[C2]#", "£[C3]#", "£[C4]#"};
        QList<Result> queued;
        // Three clicks while the first code waits for its reading.
        ws->onKeys = [&, first = true](const auto &) mutable {
            QTimer::singleShot(readAfterMs, [&pasted] { pasted << QGuiApplication::clipboard()->text(); });
            if (std::exchange(first, false))
                for (int i = 1; i < codes.size(); ++i)
                    QTimer::singleShot(0, this, [&, i] { queued << insert(QStringLiteral("lettre.odt"), codes[i]).Result; });
        };
        QCOMPARE(insert(QStringLiteral("lettre.odt"), codes.first()).Result, Result::Inserted);
        QCOMPARE(queued, QList<Result>(3, Result::Queued));
        QTRY_COMPARE(pasted, codes);
        QCOMPARE(statuses.last(), QString());
        QCOMPARE(!statuses.filter(QStringLiteral("occupé")).isEmpty(), busy);
    }

    void endingDuringTheFocusWaitStopsIt()
    {
        // The document closes while the insertion waits for it to take the focus.
        const auto sourd = ws->addWindow("Sourd", false, /*takesFocus*/ false);
        QTimer::singleShot(100, this, [this, sourd] {
            ws->removeWindow(sourd);
            ending = true;
        });
        QCOMPARE(insert(QStringLiteral("-app=Sourd"), QStringLiteral("[SG : nom]")).Result, Result::Abandoned);
        QVERIFY(ws->keyEvents.empty());
    }
};

QTEST_MAIN(TestCodeInsertion)
#include "tst_codeinsertion.moc"
