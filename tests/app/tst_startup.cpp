// The start-up sequence as the practice application starts the program: registry files
// of a workstation, the practice database (Firebird fixture, or MariaDB for a refused
// connection), the command line; every message answered through the message seam.
#include "config/COption.h"
#include "config/CReferences.h"
#include "data/CMedecin.h"
#include "testsupport/AlteredFirebird.h"
#include "testsupport/LeftGlobals.h"
#include "testsupport/TestDatabases.h"
#include "testsupport/TestProgram.h"

#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

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

QString RegString(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<TestProgram> program;
    TfScrivo *window() const { return program->window(); }
    ScriptedMessages &messages() const { return program->messages(); }

    // A word processor that records the arguments it was started with.
    QString recorder(const QString &name)
    {
        const QString script = folder.filePath(name);
        QFile::remove(script + QStringLiteral(".args"));
        QFile file(script);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        // Written aside then renamed: the test never reads a file the script is still writing.
        file.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"%1.tmp\" && mv \"%1.tmp\" \"%1.args\"\n")
                       .arg(script)
                       .toUtf8());
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return script;
    }

    // The workstation's registry (machine root) with these "Cnx" and "OptionLocale" values.
    void writeRegistry(const QMap<QString, QString> &cnx, const QMap<QString, QString> &options = {})
    {
        QString text = QStringLiteral("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor]\n"
                                      "\"cnxregmode\"=dword:00000000\n\n[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\Cnx]\n");
        for (auto it = cnx.begin(); it != cnx.end(); ++it)
            text += RegString(it.key()) + u'=' + it.value() + u'\n';
        text += QStringLiteral("\n[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\Chemins]\n\n"
                               "[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\OptionLocale]\n");
        for (auto it = options.begin(); it != options.end(); ++it)
            text += RegString(it.key()) + u'=' + it.value() + u'\n';
        QFile file(folder.filePath(QStringLiteral("hklm.reg")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    QMap<QString, QString> firebirdCnx(const QString &databaseFile)
    {
        return {{"AutoLoadParam", "dword:00000000"}, {"DataBaseType", RegString("FireBird 2.1")},
                {"DataBaseName", RegString(databaseFile)}, {"Host", RegString("")},
                {"Login", RegString("SYSDBA")}, {"PassWord", RegString("masterkey")}, {"Charset", RegString("WIN1252")}};
    }

    // Creates the process objects and the window for `arguments`, then starts up.
    void startUp(const QStringList &arguments)
    {
        program->createObjects();
        program->createWindow();
        window()->FArguments = QStringList{QStringLiteral("scrivo")} + arguments;
        window()->StartUp();
    }

    static QStringList recorded(const QString &script)
    {
        QFile file(script + QStringLiteral(".args"));
        for (int i = 0; i < 100 && !file.exists(); ++i)
            QTest::qWait(50);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        qputenv("SCRIVO_HKLM_FILE", folder.filePath(QStringLiteral("hklm.reg")).toUtf8());
        qputenv("SCRIVO_HKCU_FILE", folder.filePath(QStringLiteral("hkcu.reg")).toUtf8());
    }
    // Each test writes the registry, then creates the process objects and the window.
    void init() { program = std::make_unique<TestProgram>(TestProgram::Upto::WindowSystem); }
    void cleanup()
    {
        program.reset();
        FreeLeftGlobals();
    }

    void documentOpensFoldedBesideIt()
    {
        const QString database = CopyFirebirdDatabase(qEnvironmentVariable("SCRIVO_TEST_FDB"));
        if (database.isEmpty())
            QSKIP("no Firebird fixture (run through scripts/test)");
        const QString wordProcessor = recorder(QStringLiteral("wp"));
        writeRegistry(firebirdCnx(database), {{"WPNom", RegString("Traitement")}, {"WPPath", RegString(wordProcessor)}});
        const QString document = folder.filePath(QStringLiteral("Lettre type.odt"));

        startUp({document});
        QCOMPARE(messages().texts(), QStringList());
        QCOMPARE(window()->FTarget.Descriptor, QStringLiteral("Lettre type.odt"));
        QVERIFY(!window()->bUnFold->isHidden());
        QVERIFY(window()->panelCnx->isHidden());
        QCOMPARE(recorded(wordProcessor), QStringList{document});
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
        const QString database = CopyFirebirdDatabase(qEnvironmentVariable("SCRIVO_TEST_FDB"));
        if (database.isEmpty())
            QSKIP("no Firebird fixture (run through scripts/test)");
        QMap<QString, QString> options = {{"WPNom", RegString("Traitement")}, {"WPPath", RegString(recorder("wp"))},
                                          {"WPAutreModele", "dword:ffffffff"}, {"WPModeleNom", RegString("Modèles")},
                                          {"WPModelePath", RegString(recorder("modele"))},
                                          {"WPAutreOrdo", "dword:ffffffff"}, {"WPOrdoNom", RegString("Ordonnances")},
                                          {"WPOrdoPath", RegString(recorder("ordo"))}};
        writeRegistry(firebirdCnx(database), options);
        QDir(folder.path()).mkpath(QStringLiteral("mes variables"));
        const QString variablesFile = folder.filePath(QStringLiteral("mes variables/modèle.txt"));
        QFile file(variablesFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("nom\r\n\r\ndate rdv\r\n");
        file.close();
        const QString document = folder.filePath(QStringLiteral("Lettre.odt"));
        arguments.replaceInStrings(QStringLiteral("%doc%"), document).replaceInStrings(QStringLiteral("%vars%"), variablesFile);

        startUp(arguments);
        QCOMPARE(messages().texts(), QStringList());
        QCOMPARE(window()->FTarget.Descriptor, target);
        QCOMPARE(!window()->bUnFold->isHidden(), folded);
        QCOMPARE(window()->FQuestionnaireId, questionnaire);
        QCOMPARE(*window()->FVariables, variables);
        QCOMPARE(!window()->bVariable->isHidden(), !variables.isEmpty());
        if (!opened.isEmpty()) {
            QCOMPARE(recorded(folder.filePath(opened)), QStringList{document});
        } else {
            // No word processor started (each recorder would leave its arguments).
            QTest::qWait(300);
            for (const char *name : {"wp", "modele", "ordo"})
                QVERIFY2(!QFile::exists(folder.filePath(QLatin1String(name)) + QStringLiteral(".args")), name);
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
        QTest::newRow("refused, retried, then declined") << "refused"
            << QStringList{ServerQuestionStart, RetryConnection, ServerQuestionStart, RetryConnection} << true;
        QTest::newRow("variables file failing") << "variables"
            << QStringList{QStringLiteral("Erreur lors traitement fichier paramètres :\r\n")} << false;
    }
    void failuresEndTheProgramWithTheirMessage()
    {
        QFETCH(QString, situation);
        QFETCH(QStringList, shown);
        QFETCH(bool, ends);
        const QString database = CopyFirebirdDatabase(qEnvironmentVariable("SCRIVO_TEST_FDB"));
        if (database.isEmpty())
            QSKIP("no Firebird fixture (run through scripts/test)");
        QMap<QString, QString> cnx = firebirdCnx(database);
        QStringList arguments = {QStringLiteral("-app=x")};
        if (situation == QLatin1String("central")) {
            cnx[QStringLiteral("AutoLoadParam")] = QStringLiteral("dword:00000001");
            cnx[QStringLiteral("ParamFilePath")] = RegString(QStringLiteral("/nulle/part/partage"));
        } else if (situation == QLatin1String("incomplete")) {
            cnx.remove(QStringLiteral("DataBaseName"));
        } else if (situation == QLatin1String("refused")) {
            cnx[QStringLiteral("DataBaseType")] = RegString(QStringLiteral("MySQL 4.0"));
            cnx[QStringLiteral("Host")] = RegString(QStringLiteral("127.0.0.1"));
            cnx[QStringLiteral("Port")] = RegString(QStringLiteral("1"));
            cnx[QStringLiteral("Login")] = RegString(QStringLiteral("lecteur"));
            messages().enqueueButton(7); // the connection's own question: No
            messages().enqueueButton(6); // the start-up's question: Yes, try again
            messages().enqueueButton(7);
            messages().enqueueButton(7);
        } else {
            // Too large to be a variables file: reading it fails.
            QFile big(folder.filePath(QStringLiteral("variables.txt")));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(qint64(65) * 1024 * 1024));
            big.close();
            arguments << QStringLiteral("-pf=") + big.fileName();
        }
        writeRegistry(cnx);

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
        const QString database = CopyFirebirdDatabase(qEnvironmentVariable("SCRIVO_TEST_FDB"));
        if (database.isEmpty())
            QSKIP("no Firebird fixture (run through scripts/test)");
        QMap<QString, QString> cnx = firebirdCnx(database);
        cnx[QStringLiteral("AutoLoadParam")] = QStringLiteral("dword:00000001");
        writeRegistry(cnx);
        const QString central = folder.filePath(QStringLiteral("central.ini"));
        QFile file(central);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
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
        if (!TestEngineUnavailable(MySqlEngine).isEmpty())
            QSKIP(qPrintable(TestEngineUnavailable(MySqlEngine)));
        program->createObjects();
        program->createWindow();
        // The test connection points the registry elsewhere: back to this test's after.
        const auto registryBack = qScopeGuard([this] { initTestCase(); });
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
        const QString database = CopyFirebirdDatabase(qEnvironmentVariable("SCRIVO_TEST_FDB"));
        if (database.isEmpty())
            QSKIP("no Firebird fixture (run through scripts/test)");
        ExecuteOnFirebird(database, {"UPDATE GLB_GROUPE SET est_medecin = 0",
                                     "DELETE FROM OPT_PARAM_MEDECIN WHERE mnemonique = 'GroupeReferant'"});
        const QString wordProcessor = recorder(QStringLiteral("wp-jamais"));
        writeRegistry(firebirdCnx(database), {{"WPNom", RegString("Traitement")}, {"WPPath", RegString(wordProcessor)}});

        startUp({folder.filePath(QStringLiteral("Lettre.odt"))});
        QCOMPARE(messages().texts(), QStringList{QStringLiteral(
            "Impossible de déterminer le groupe par défaut.\r\nLe lancement de Talvor est impossible.")});
        QVERIFY(GlobaleOption->TerminationRequested);
        QVERIFY(!gMedecins);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(wordProcessor + QStringLiteral(".args")));
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
