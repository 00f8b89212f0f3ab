// The start-up sequence as the practice application starts the program: registry files
// of a workstation, the practice database (Firebird fixture, or MariaDB for a refused
// connection), the command line; every message answered through the message seam.
#include "config/COption.h"
#include "config/CReferences.h"
#include "data/CMedecin.h"
#include "testsupport/AlteredFirebird.h"
#include "testsupport/LeftGlobals.h"
#include "testsupport/RecordingProgram.h"
#include "testsupport/RegistryFiles.h"
#include "testsupport/TestDatabases.h"
#include "testsupport/TestFiles.h"
#include "testsupport/TestProgram.h"

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QString ParamFileUnreachable = QStringLiteral(
    "Impossible d'accéder au fichier central de paramértage.\r\nVérifiez vos connexions réseau.");
const QString ParamsIncomplete = QStringLiteral(
    "Les paramètres d'accès à la base de données ne sont pas complet.\r\nVoyez votre administrateur ou utiliser "
    "l'outil de configuration des postes clients Talvor (TalvorCliConfig)");
const QString RetryConnection = QStringLiteral(
    "Impossible de se connecter à la base de donnée.\r\nVérifiez que le serveur et votre réseau sont bien en "
    "service\r\nou vérifiez vos paramètres de connexions.\r\n\r\nVoulez-vous retentez la connexion ?");
const QString ServerQuestionStart = QStringLiteral(
    "Impossible de se connecter à la base de donnée.\r\nVérifiez que le serveur et votre réseau sont bien en "
    "service\r\nou vérifiez vos paramètres de connexions.\r\n\r\nDernier message du serveur : \r\n");

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    RegistryFiles registry{folder.path()};
    std::unique_ptr<TestProgram> program;
    TfScrivo *window() const { return program->window(); }
    ScriptedMessages &messages() const { return program->messages(); }

    // Creates the process objects and the window for `arguments`, then starts up.
    void startUp(const QStringList &arguments)
    {
        program->createObjects();
        program->createWindow();
        window()->FArguments = QStringList{QStringLiteral("scrivo")} + arguments;
        window()->StartUp();
    }

private slots:
    void initTestCase() { registry.activate(); }
    // Each test writes the registry, then creates the process objects and the window.
    void init() { program = std::make_unique<TestProgram>(TestProgram::Upto::WindowSystem); }
    void cleanup()
    {
        program.reset();
        FreeLeftGlobals();
    }

    // On a workstation of each engine.
    void documentOpensFoldedBesideIt_data() { AddEngineData(); }
    void documentOpensFoldedBesideIt()
    {
        QFETCH(QString, engine);
        const RecordingProgram wordProcessor(folder.filePath(QStringLiteral("wp")));
        SCRIVO_SKIP_WITHOUT_ENGINE(engine);
        const std::optional<RegText> workstation = TestWorkstation(engine, wordProcessor.path());
        QVERIFY(workstation);
        registry.machine(*workstation);
        const QString document = folder.filePath(QStringLiteral("Lettre type.odt"));

        startUp({document});
        QCOMPARE(messages().texts(), QStringList());
        QCOMPARE(window()->FTarget.Descriptor, QStringLiteral("Lettre type.odt"));
        QVERIFY(!window()->bUnFold->isHidden());
        QVERIFY(window()->panelCnx->isHidden());
        QCOMPARE(wordProcessor.recorded(), RecordingProgram::recordOf({document}));
        QVERIFY(gMedecins && gReferences);
        QCOMPARE(GlobaleOption->GroupeReferant, 3);
        QVERIFY(window()->bVariable->isHidden());
    }

    void commandLineChoices_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("opened");   // recorder that received the document, or empty
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("folded");
        QTest::addColumn<int>("questionnaire");
        QTest::addColumn<QStringList>("variables");
        const QString doc = QStringLiteral("%doc%");
        QTest::newRow("hwnd and questionnaire 12") << QStringList{"-HWND=1234", "-qre=12"} << "" << "-HWND=1234" << false << 12 << QStringList{};
        QTest::newRow("qre not a number") << QStringList{"-app=Courrier", "-QRE=douze"} << "" << "-app=Courrier" << false << 0 << QStringList{};
        QTest::newRow("template word processor") << QStringList{doc, "-wp=modele"} << "modele" << "Lettre.odt" << false << 0 << QStringList{};
        QTest::newRow("value compared exactly") << QStringList{doc, "-wp:Modele"} << "wp" << "Lettre.odt" << false << 0 << QStringList{};
        QTest::newRow("prescription word processor") << QStringList{doc, "-wp:ordo"} << "ordo" << "Lettre.odt" << false << 0 << QStringList{};
        QTest::newRow("quoted variables file with blanks") << QStringList{"-app=x", "-pf=%vars%"} << "" << "-app=x" << false << 0 << QStringList{"nom", "", "date rdv"};
        QTest::newRow("pf last word, no file") << QStringList{"-app=x", "y", "-pf"} << "" << "-app=x" << false << 0 << QStringList{};
        QTest::newRow("variables folder holding ' - '") << QStringList{"-app=x", "-pf=%dashvars%"} << "" << "-app=x" << false << 0 << QStringList{"nom", "", "date rdv"};
        QTest::newRow("options before the document") << QStringList{"-pf=%vars%", "-wp:ordo", doc} << "ordo" << "Lettre.odt" << false << 0 << QStringList{"nom", "", "date rdv"};
        QTest::newRow("document beginning with '-'") << QStringList{"-lettre.odt"} << "wp" << "-lettre.odt" << true << 0 << QStringList{};
        QTest::newRow("option between target and questionnaire") << QStringList{"-app=x", "-pf", "-qre=7"} << "" << "-app=x" << false << 7 << QStringList{};
        QTest::newRow("no argument: nothing opened") << QStringList{} << "" << "" << true << 0 << QStringList{};
    }
    void commandLineChoices()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, opened);
        QFETCH(QString, target);
        QFETCH(bool, folded);
        QFETCH(int, questionnaire);
        QFETCH(QStringList, variables);
        const RecordingProgram wp(folder.filePath(QStringLiteral("wp")));
        const RecordingProgram modele(folder.filePath(QStringLiteral("modele")));
        const RecordingProgram ordo(folder.filePath(QStringLiteral("ordo")));
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        std::optional<RegText> workstation = TestWorkstation(FirebirdEngine, wp.path());
        QVERIFY(workstation);
        registry.machine(workstation->dword(QStringLiteral("WPAutreModele"), 0xffffffff)
                             .text(QStringLiteral("WPModeleNom"), QStringLiteral("Modèles"))
                             .text(QStringLiteral("WPModelePath"), modele.path())
                             .dword(QStringLiteral("WPAutreOrdo"), 0xffffffff)
                             .text(QStringLiteral("WPOrdoNom"), QStringLiteral("Ordonnances"))
                             .text(QStringLiteral("WPOrdoPath"), ordo.path()));
        QDir(folder.path()).mkpath(QStringLiteral("mes variables"));
        QDir(folder.path()).mkpath(QStringLiteral("Lettre - Dupont"));
        const QString variablesFile = folder.filePath(QStringLiteral("mes variables/modèle.txt"));
        const QString dashedVariablesFile = folder.filePath(QStringLiteral("Lettre - Dupont/vars.txt"));
        WriteFile(variablesFile, "nom\r\n\r\ndate rdv\r\n");
        WriteFile(dashedVariablesFile, "nom\r\n\r\ndate rdv\r\n");
        const QString document = folder.filePath(QStringLiteral("Lettre.odt"));
        arguments.replaceInStrings(QStringLiteral("%doc%"), document)
            .replaceInStrings(QStringLiteral("%vars%"), variablesFile)
            .replaceInStrings(QStringLiteral("%dashvars%"), dashedVariablesFile);

        startUp(arguments);
        QCOMPARE(messages().texts(), QStringList());
        QCOMPARE(window()->FTarget.Descriptor, target);
        QCOMPARE(!window()->bUnFold->isHidden(), folded);
        QCOMPARE(window()->FQuestionnaireId, questionnaire);
        QCOMPARE(*window()->FVariables, variables);
        QCOMPARE(!window()->bVariable->isHidden(), !variables.isEmpty());
        // The questionnaire picker when one is asked for, else the search over every category.
        const QWidget *hosted = window()->panelHost->findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(hosted);
        QCOMPARE(hosted->metaObject()->className(),
                 arguments.filter(QStringLiteral("-qre="), Qt::CaseInsensitive).isEmpty() ? "TfCouCodeRecherche" : "TfCouCodeQre");
        // The one named started with the document, no other.
        if (opened.isEmpty())
            QTest::qWait(300);
        // A document named like an option reaches the word processor as a path.
        const QString received = target.startsWith(u'-') ? QStringLiteral("./") + target : document;
        for (const RecordingProgram *candidate : {&wp, &modele, &ordo}) {
            if (candidate->path() == folder.filePath(opened))
                QCOMPARE(candidate->recorded(), RecordingProgram::recordOf({received}));
            else
                QVERIFY2(!candidate->ran(), qPrintable(candidate->path()));
        }
    }

    void failuresEndTheProgramWithTheirMessage_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("ends");
        // An unreachable central folder is told, and the registry's values are used.
        QTest::newRow("central folder unreachable") << "central"
            << QStringList{QStringLiteral("Le chemin /nulle/part/partage\r\nest inaccessible !")} << false;
        QTest::newRow("parameters incomplete") << "incomplete" << QStringList{ParamsIncomplete} << true;
        // A share that stops answering (its talvor.ini a pipe nobody writes into): told
        // after the bound, and the program ends as without its central file.
        QTest::newRow("central file not answering") << "silent"
            << QStringList{QStringLiteral("Le fichier ") + QDir::tempPath(), ParamFileUnreachable} << true;
        QTest::newRow("refused, retried, then declined") << "refused"
            << QStringList{ServerQuestionStart, RetryConnection, ServerQuestionStart, RetryConnection} << true;
        QTest::newRow("variables file failing") << "variables"
            << QStringList{QStringLiteral("Erreur lors traitement fichier paramètres :\r\n")} << false;
        QTest::newRow("variables file named, missing") << "variables missing"
            << QStringList{QStringLiteral("Erreur lors traitement fichier paramètres :\r\nLe fichier de variables <")} << false;
        QTest::newRow("variables file of 20 million lines") << "variables lines"
            << QStringList{QStringLiteral("Erreur lors traitement fichier paramètres :\r\nLe fichier de variables <")} << false;
    }
    void failuresEndTheProgramWithTheirMessage()
    {
        QFETCH(QString, situation);
        QFETCH(QStringList, shown);
        QFETCH(bool, ends);
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        std::optional<RegText> workstation = TestWorkstation(FirebirdEngine, QStringLiteral("/bin/true"));
        QVERIFY(workstation);
        RegText &cnx = workstation->key(QStringLiteral("Cnx"));
        QStringList arguments = {QStringLiteral("-app=x")};
        if (situation == QLatin1String("central")) {
            cnx.dword(QStringLiteral("AutoLoadParam"), 1).text(QStringLiteral("ParamFilePath"), QStringLiteral("/nulle/part/partage"));
        } else if (situation == QLatin1String("silent")) {
            const QString share = folder.filePath(QStringLiteral("partage"));
            QVERIFY(QDir().mkpath(share));
            QVERIFY(::mkfifo(qPrintable(share + QStringLiteral("/talvor.ini")), 0600) == 0);
            cnx.dword(QStringLiteral("AutoLoadParam"), 1).text(QStringLiteral("ParamFilePath"), share);
        } else if (situation == QLatin1String("incomplete")) {
            cnx.remove(QStringLiteral("DataBaseName"));
        } else if (situation == QLatin1String("refused")) {
            cnx.text(QStringLiteral("DataBaseType"), QStringLiteral("MySQL 4.0"))
                .text(QStringLiteral("Host"), QStringLiteral("127.0.0.1"))
                .text(QStringLiteral("Port"), QStringLiteral("1"))
                .text(QStringLiteral("Login"), QStringLiteral("lecteur"));
            messages().enqueueButton(7); // the connection's own question: No
            messages().enqueueButton(6); // the start-up's question: Yes, try again
            messages().enqueueButton(7);
            messages().enqueueButton(7);
        } else if (situation == QLatin1String("variables missing")) {
            arguments << QStringLiteral("-pf=") + folder.filePath(QStringLiteral("absent.txt"));
        } else if (situation == QLatin1String("variables lines")) {
            WriteFile(folder.filePath(QStringLiteral("lines.txt")), QByteArray(20 * 1024 * 1024, '\n'));
            arguments << QStringLiteral("-pf=") + folder.filePath(QStringLiteral("lines.txt"));
        } else {
            // Too large to be a variables file: reading it fails.
            QFile big(folder.filePath(QStringLiteral("variables.txt")));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(qint64(65) * 1024 * 1024));
            big.close();
            arguments << QStringLiteral("-pf=") + big.fileName();
        }
        registry.machine(*workstation);

        program->createObjects();
        program->createWindow();
        window()->FArguments = QStringList{QStringLiteral("scrivo")} + arguments;
        QSignalSpy ending(window(), &TfScrivo::ProgramEnding);
        window()->StartUp();

        QCOMPARE(messages().texts().size(), shown.size());
        for (int i = 0; i < shown.size(); ++i)
            QVERIFY2(messages().texts().at(i).startsWith(shown.at(i)), qPrintable(messages().texts().at(i)));
        QCOMPARE(ending.count(), ends ? 1 : 0);
        QCOMPARE(gMedecins != nullptr, !ends);
        if (situation == QLatin1String("refused"))
            QCOMPARE(messages().requests().at(1).flags, 148);
    }

    void centralFileGoneBeforeItIsCheckedEndsTheProgram()
    {
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        std::optional<RegText> workstation = TestWorkstation(FirebirdEngine, QStringLiteral("/bin/true"));
        QVERIFY(workstation);
        registry.machine(workstation->key(QStringLiteral("Cnx")).dword(QStringLiteral("AutoLoadParam"), 1));
        const QString central = folder.filePath(QStringLiteral("central.ini"));
        WriteFile(central, QByteArray());
        // The share drops while the parameters are being read.
        messages().whenShown(QStringLiteral("Debut chargement fichier"), [central] { QFile::remove(central); });

        program->createObjects();
        gConnexion->Params()->Arguments = {QStringLiteral("scrivo"), QStringLiteral("-app=x"), QStringLiteral("-v"),
                                           QStringLiteral("-ini=") + central};
        program->createWindow();
        QSignalSpy ending(window(), &TfScrivo::ProgramEnding);
        window()->StartUp();
        QCOMPARE(messages().texts().last(), ParamFileUnreachable);
        QCOMPARE(messages().requests().last().parent, static_cast<QWidget *>(window()));
        QCOMPARE(ending.count(), 1);
        QVERIFY(!gConnexion->Connected());
    }

    void documentClosedWhileALoaderRetries()
    {
        SCRIVO_SKIP_WITHOUT_ENGINE(MySqlEngine);
        program->createObjects();
        program->createWindow();
        // The test connection points the registry elsewhere: back to this test's after.
        const auto registryBack = qScopeGuard([this] { registry.activate(); });
        SCRIVO_OPEN_TEST_CONNEXION(connexion, MySqlEngine);
        gMedecins = new TCMedecins(connexion.get());
        // The server drops the connection: the doctor list's statement fails once and
        // is run again after a pause, during which the close timer finds the letter gone.
        ExecuteOnTestMySql(QStringLiteral("KILL ") +
                           [&] {
                               std::unique_ptr<TCRecordSet> row;
                               connexion->OpenRecordSet(QStringLiteral("SELECT CONNECTION_ID() AS id"), row);
                               return row->FieldValue(QStringLiteral("id")).toString();
                           }());
        window()->FTarget = QStringLiteral("-app=lettre");
        window()->FTargetSeen = true;
        QSignalSpy ending(window(), &TfScrivo::ProgramEnding);
        QTimer::singleShot(0, window(), [this] { window()->TimerCloseTimer(); });
        gMedecins->Charger(QStringLiteral("nom, prenom"));
        QCOMPARE(ending.count(), 1);
        QCOMPARE(gMedecins->Count(), 10);
        delete gMedecins; // before its connection
        gMedecins = nullptr;
    }

    void missingDefaultGroupEndsBeforeOpeningTheDocument()
    {
        const RecordingProgram wordProcessor(folder.filePath(QStringLiteral("wp-jamais")));
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        std::optional<RegText> workstation = TestWorkstation(FirebirdEngine, wordProcessor.path());
        QVERIFY(workstation);
        const QString database = CopyFirebirdDatabase(qEnvironmentVariable("SCRIVO_TEST_FDB"));
        ExecuteOnFirebird(database, {"UPDATE GLB_GROUPE SET est_medecin = 0",
                                     "DELETE FROM OPT_PARAM_MEDECIN WHERE mnemonique = 'GroupeReferant'"});
        registry.machine(workstation->key(QStringLiteral("Cnx")).text(QStringLiteral("DataBaseName"), database));

        startUp({folder.filePath(QStringLiteral("Lettre.odt"))});
        QCOMPARE(messages().texts(), QStringList{QStringLiteral(
            "Impossible de déterminer le groupe par défaut.\r\nLe lancement de Talvor est impossible.")});
        QVERIFY(GlobaleOption->TerminationRequested);
        QVERIFY(!gMedecins);
        QTest::qWait(300);
        QVERIFY(!wordProcessor.ran());
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
