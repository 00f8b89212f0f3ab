// End to end on a real X display: codes inserted into a document open in mousepad, the
// document saved and read back; the AZERTY layout; failures with real windows; the
// real program ending after its document window closes.
#include "app/CodeInsertion.h"
#include "app/ProcessObjects.h"
#include "app/Scrivo.h"
#include "app/SendKeyApi.h"
#include "platform/x11/X11WindowSystem.h"
#include "testsupport/ScriptedMessages.h"
#include "testsupport/TestFiles.h"
#include "testsupport/X11Session.h"

#include <QClipboard>
#include <QDir>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <functional>
#include <optional>

namespace {
const QString NotActivated = QStringLiteral("La fenêtre contenant le document n'a pu être activée (ou trouvée)");
constexpr int RoundsPerCause = 13; // 52 rounds in all

// The Firebird database the process `pid` has attached (open); empty when none.
QString AttachedDatabase(qint64 pid)
{
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo &descriptor : descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (descriptor.symLinkTarget().endsWith(QLatin1String(".fdb")))
            return descriptor.symLinkTarget();
    return QString();
}

} // namespace

class TestInsertionEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<TCProcessObjects> objects;
    std::unique_ptr<TInsertionRoad> road;
    platform::X11WindowSystem *ws = nullptr; ///< the road's
    std::unique_ptr<TfScrivo> window;
    std::unique_ptr<ScriptedMessages> messages;

private slots:
    void initTestCase()
    {
        SCRIVO_SKIP_WITHOUT_X11_DISPLAY();
        std::string error;
        auto windowSystem = platform::X11WindowSystem::open(error);
        QVERIFY2(windowSystem, error.c_str());
        ws = windowSystem.get();
        road = std::make_unique<TInsertionRoad>(std::move(windowSystem));
    }
    void init()
    {
        objects = std::make_unique<TCProcessObjects>();
        window = std::make_unique<TfScrivo>();
        window->FInsertionRoad = road.get();
        window->show();
        window->TimerStart->stop(); // the tests set the target themselves
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup()
    {
        SetKeyboardLayout(QStringLiteral("us"));
        messages.reset();
        window.reset();
        objects.reset();
    }
    void cleanupTestCase() { road.reset(); }

    void codesReachTheDocument_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<QString>("decoy"); // another document, open first
        QTest::newRow("document name in the title") << "lettre.txt" << "" << false << "";
        QTest::newRow("title without the extension") << "lettre.txt" << "lettre - Traitement" << false << "";
        QTest::newRow("app title in another case") << "-app=LETTRE.TXT" << "" << false << "";
        QTest::newRow("hwnd") << "-hwnd=%1" << "" << false << "";
        QTest::newRow("minimised window") << "lettre.txt" << "" << true << "";
        QTest::newRow("dots in the name, another document named by its first part")
            << "Dr.Martin.txt" << "Dr.Martin - Traitement" << false << "Dr.txt";
    }
    void codesReachTheDocument()
    {
        QFETCH(QString, target);
        QFETCH(QString, title);
        QFETCH(bool, minimised);
        QFETCH(QString, decoy);
        std::optional<MousepadDocument> other;
        if (!decoy.isEmpty())
            QVERIFY(other.emplace(decoy).open());
        MousepadDocument document(target.startsWith(u'D') ? target : QStringLiteral("lettre.txt"));
        QVERIFY(document.open());
        if (!title.isEmpty())
            QVERIFY(document.setTitle(title));
        if (minimised)
            QVERIFY(document.minimise());
        window->FTarget = target.contains(QLatin1String("%1")) ? target.arg(document.window()) : target;

        InsertCode(window.get(), QStringLiteral("£[RCD : actes]#"));
        InsertCode(window.get(), QStringLiteral("[SG : nom]"));
        QCOMPARE(messages->texts(), QStringList());
        QCOMPARE(document.saveAndRead(), QStringLiteral("£[RCD : actes]#£[SG : nom]#"));
    }

    void codesInARowEachReachTheDocumentOnce()
    {
        // Each paste must have read its own text before the next code replaces it.
        MousepadDocument document(QStringLiteral("rafale.txt"));
        QVERIFY(document.open());
        window->FTarget = QStringLiteral("rafale.txt");
        QString expected;
        for (int code = 1; code <= 8; ++code) {
            const QString text = QStringLiteral("£[QQD%1 : Poids]#").arg(code);
            InsertCode(window.get(), text);
            expected += text;
        }
        QCOMPARE(messages->texts(), QStringList());
        QCOMPARE(document.saveAndRead(), expected);
    }

    void azertyLayout()
    {
        QVERIFY(SetKeyboardLayout(QStringLiteral("fr")));
        MousepadDocument document(QStringLiteral("azerty.txt"));
        QVERIFY(document.open());
        window->FTarget = QStringLiteral("azerty.txt");

        InsertCode(window.get(), QStringLiteral("£ORD : TOUT#"));
        QCOMPARE(messages->texts(), QStringList());
        // Letters that move between QWERTY and AZERTY, characters on Shift and AltGr.
        QVERIFY(road->WaitForFocus(document.window(), window->FEndRequested));
        QVERIFY(SendKeys("azqw@#€|[]", false));
        // The key events reach the server on another connection: give it time to apply them.
        QTRY_COMPARE(QGuiApplication::queryKeyboardModifiers(), Qt::NoModifier);
        QCOMPARE(document.saveAndRead(), QStringLiteral("£ORD : TOUT#azqw@#€|[]"));
        QCOMPARE(messages->texts(), QStringList());
    }

    void missingTargetsAreTold_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("document never opened") << "absent.txt";
        QTest::newRow("own window") << "-app=Insertion des Codes Courriers";
        QTest::newRow("window closed") << "-hwnd=%1";
    }
    void missingTargetsAreTold()
    {
        QFETCH(QString, target);
        MousepadDocument closed(QStringLiteral("ferme.txt"));
        QVERIFY(closed.open());
        const quint64 gone = closed.window();
        closed.close();
        window->FTarget = target.contains(QLatin1String("%1")) ? target.arg(gone) : target;

        InsertCode(window.get(), QStringLiteral("£T: Date du jour#"));
        QCOMPARE(messages->texts(), QStringList{NotActivated});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("£T: Date du jour#"));
    }

    void programEndsAfterItsDocumentCloses()
    {
        // Not "courrier": the title of any Scrivo window contains that word.
        MousepadDocument document(QStringLiteral("lettre-fin.txt"));
        QVERIFY(document.open());
        // Each program has a workstation of its own; its word processor starts nothing,
        // the document being open already.
        ScrivoProcess watching, waiting;
        SCRIVO_SKIP_WITHOUT_WORKSTATION(watching);
        SCRIVO_SKIP_WITHOUT_WORKSTATION(waiting);
        QVERIFY(watching.start({document.path()}));
        QVERIFY(waiting.start({QStringLiteral("/nulle/part/jamais.txt")}, false));

        // Both keep running while their target is open or has never been seen.
        QTest::qWait(4500);
        QVERIFY(watching.running());
        document.close();
        QVERIFY2(watching.endsWithin(30000), "the program did not end after its document closed");
        QVERIFY(waiting.running());
    }

    // The program on the embedded database, its document and their X server ended at
    // random moments against each other, as at a logout, each cause in turn coming
    // first: the program ends every time, and leaves the database to the next program.
    void programEndsWithItsDesktop_data()
    {
        QTest::addColumn<QString>("first");
        for (const char *first : {"X server", "SIGTERM", "SIGHUP", "document"})
            QTest::newRow(first) << QString::fromLatin1(first);
    }
    void programEndsWithItsDesktop()
    {
        QFETCH(QString, first);
        QTemporaryDir folder;
        const QString documentName = QStringLiteral("fin-de-session.txt");
        WriteFile(folder.filePath(documentName), "texte");
        for (int round = 0; round < RoundsPerCause; ++round) {
            const QString where = QStringLiteral("round %1").arg(round);
            PrivateXServer x;
            QVERIFY2(x.start(), qPrintable(where));
            ScrivoProcess scrivo;
            SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo);
            QProcess document;
            document.setProcessEnvironment(x.on(QProcessEnvironment::systemEnvironment()));
            document.start(QStringLiteral("xmessage"), {QStringLiteral("-title"), documentName, QStringLiteral("lettre")});
            scrivo.setEnvironment(x.on(scrivo.environment()));
            QVERIFY2(document.waitForStarted() && scrivo.start({folder.filePath(documentName)}, false), qPrintable(where));
            QString database;
            QVERIFY2(QTest::qWaitFor([&] { return !(database = AttachedDatabase(scrivo.processId())).isEmpty(); }, 30000),
                     qPrintable(where + QStringLiteral(": the program never attached the database")));

            const int signalNumber = first == QLatin1String("SIGHUP") || (first != QLatin1String("SIGTERM") && round % 2)
                                         ? SIGHUP
                                         : SIGTERM;
            std::vector<std::function<void()>> endings = {[&] { x.end(); },
                                                          [&] {
                                                              // processId() is 0 once it has ended: kill(0) would
                                                              // signal this test's whole process group.
                                                              if (const qint64 pid = scrivo.processId(); pid > 0)
                                                                  ::kill(pid_t(pid), signalNumber);
                                                          },
                                                          [&] { document.kill(); }};
            const int firstIndex = first == QLatin1String("X server") ? 0 : first == QLatin1String("document") ? 2 : 1;
            std::swap(endings[0], endings[firstIndex]);
            std::shuffle(endings.begin() + 1, endings.end(), *QRandomGenerator::global());
            for (const auto &ending : endings) {
                ending();
                QTest::qWait(QRandomGenerator::global()->bounded(1500));
            }
            QVERIFY2(scrivo.finishesWithin(20000), qPrintable(where + QStringLiteral(": the program is still running")));
            // No lock left behind: the next program attaches at once.
            QString tables;
            RunCommand(QStringLiteral("isql-fb"), {QStringLiteral("-x"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), database},
                       &tables);
            QVERIFY2(tables.contains(QLatin1String("GLB_MEDECIN")), qPrintable(where + QStringLiteral(": the database is held")));
            document.waitForFinished();
        }
    }
};

SCRIVO_E2E_MAIN(TestInsertionEndToEnd)
#include "tst_insertion_e2e.moc"
