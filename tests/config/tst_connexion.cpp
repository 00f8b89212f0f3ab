// TCConnexion against the real practice database fixture on both engines (Firebird
// embedded file, MariaDB on loopback as a read-only user): connection and retry question,
// table list, record sets and their values, row limits, the retry of a failing statement,
// a server that dies and comes back, text decoding, and the termination signals.
#include "testsupport/TestDatabases.h"

#include "config/CCnxParam.h"
#include "config/CConnexion.h"
#include "config/MySqlSession.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

#include <soci/firebird/soci-firebird.h>
#include <soci/soci.h>

#include <csignal>
#include <functional>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

const QString SpecialText = QStringLiteral("Zona é è à ç œ £ ¤ • €");

std::unique_ptr<TCRecordSet> Open(TCConnexion &connexion, const QString &sql, int rowLimit = 0)
{
    std::unique_ptr<TCRecordSet> recordSet;
    if (!connexion.OpenRecordSet(sql, recordSet, rowLimit))
        return nullptr;
    return recordSet;
}

QVariant SingleValue(TCConnexion &connexion, const QString &sql, const QString &column)
{
    const std::unique_ptr<TCRecordSet> recordSet = Open(connexion, sql);
    return recordSet ? recordSet->FieldValue(column) : QVariant();
}

// The number of practice groups, read through the connection (6 in the fixture).
int GroupCount(TCConnexion &connexion)
{
    return NullToInt(SingleValue(connexion, QStringLiteral("SELECT COUNT(*) AS n FROM GLB_GROUPE"), QStringLiteral("n")));
}

// The label of group 3, with its accents, read through the connection.
QString GroupLabel(TCConnexion &connexion)
{
    return SingleValue(connexion, QStringLiteral("SELECT lib_groupe FROM GLB_GROUPE WHERE code_groupe = 3"), QStringLiteral("lib_groupe"))
        .toString();
}

// A connection set up (not connected) from parameters that reach the engine's fixture,
// changed by `change` first; the engine must be available (see SCRIVO_SKIP_WITHOUT).
std::unique_ptr<TCConnexion> SetUpConnexion(const QString &engine, const std::function<void(TCCnxParam &)> &change = {},
                                            const QString &charset = QStringLiteral("WIN1252"))
{
    std::unique_ptr<TCCnxParam> params = TestCnxParam(engine, charset);
    if (change)
        change(*params);
    auto connexion = std::make_unique<TCConnexion>(std::move(params));
    connexion->SetupConnection();
    return connexion;
}

// A loopback port that nothing listens on right now, below the range of the ports that
// outgoing connections get (one of those could meet the server's port).
int FreePort()
{
#ifdef _WIN32
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    Q_UNUSED(started);
    const auto close = [](SOCKET fd) { closesocket(fd); };
#endif
    static int next = 21000 + int(QCoreApplication::applicationPid() % 4000);
    for (;; next = next >= 29000 ? 21000 : next + 1) {
        const auto fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(quint16(next));
        const bool free = bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        close(fd);
        if (free)
            return next++;
    }
}

#ifndef _WIN32
// Wine starts no Unix program from a Windows one: the servers of the test's own, and the
// signals sent to a child, are tested on Linux.
QString Executable(const QString &name)
{
    return QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
}

// A database server of the test's own, so that killing it disturbs no other test:
// started, killed as a crash would, started again on the same data.
class PrivateServer {
public:
    virtual ~PrivateServer() = default;
    virtual bool Start(QString &problem) = 0;
    virtual bool Launch() = 0;
    virtual bool Kill() = 0;
    /// Stops or resumes the server process; true once it is in that state.
    virtual bool Freeze(bool frozen) = 0;
    /// Parameters that reach the server's database as a workstation does.
    virtual std::unique_ptr<TCCnxParam> Params() const = 0;

protected:
    static bool Fail(QString &problem, const QString &text)
    {
        problem = text;
        return false;
    }
    // Stops or resumes process `pid`, as a frozen machine would; true once it is so.
    static bool FreezeProcess(qint64 pid, bool frozen)
    {
        if (pid <= 0 || ::kill(pid_t(pid), frozen ? SIGSTOP : SIGCONT) != 0)
            return false;
        for (int i = 0; i < 200; ++i) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                return false;
            const QByteArray state = stat.readAll().split(')').value(1).trimmed().left(1);
            if ((state == "T") == frozen)
                return true;
            QThread::msleep(10);
        }
        return false;
    }
};

// MariaDB with group 3 in a latin1 database and a user that may only read.
class PrivateMariaDb : public PrivateServer {
public:
    bool Start(QString &problem) override
    {
        if (Executable(QStringLiteral("mariadbd")).isEmpty() || Executable(QStringLiteral("mariadb-install-db")).isEmpty()) {
            problem = QStringLiteral("MariaDB server binaries are not installed");
            return false;
        }
        FPort = FreePort();
        QProcess install;
        install.start(Executable(QStringLiteral("mariadb-install-db")),
                      {QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + Path(QStringLiteral("data")),
                       QStringLiteral("--user=root"), QStringLiteral("--auth-root-authentication-method=normal"),
                       QStringLiteral("--skip-test-db")});
        if (!install.waitForFinished(60000) || install.exitCode() != 0) {
            problem = QString::fromLocal8Bit(install.readAllStandardError());
            return false;
        }
        if (!Launch())
            return Fail(problem, QStringLiteral("mariadbd did not start"));
        return Admin(QStringLiteral("CREATE DATABASE cabinet CHARACTER SET latin1;"
                                    "CREATE TABLE cabinet.GLB_GROUPE (code_groupe INTEGER, lib_groupe VARCHAR(60));"
                                    "INSERT INTO cabinet.GLB_GROUPE VALUES (3, 'Médecins généralistes');"
                                    "CREATE USER 'lecteur'@'%' IDENTIFIED BY 'lecture';"
                                    "GRANT SELECT ON cabinet.* TO 'lecteur'@'%';"),
                     problem);
    }
    bool Launch() override
    {
        FServer.setStandardOutputFile(QProcess::nullDevice());
        FServer.setStandardErrorFile(QProcess::nullDevice());
        FServer.start(Executable(QStringLiteral("mariadbd")),
                      {QStringLiteral("--no-defaults"), QStringLiteral("--datadir=") + Path(QStringLiteral("data")),
                       QStringLiteral("--socket=") + Path(QStringLiteral("s.sock")), QStringLiteral("--port=%1").arg(FPort),
                       QStringLiteral("--bind-address=127.0.0.1"), QStringLiteral("--lower-case-table-names=1"),
                       QStringLiteral("--skip-log-bin"), QStringLiteral("--user=root"),
                       QStringLiteral("--innodb-buffer-pool-size=16M")});
        for (int i = 0; i < 200; ++i) {
            QProcess ping;
            ping.start(Executable(QStringLiteral("mariadb-admin")),
                       {QStringLiteral("--no-defaults"), QStringLiteral("--socket=") + Path(QStringLiteral("s.sock")),
                        QStringLiteral("--user=root"), QStringLiteral("ping")});
            if (ping.waitForFinished(5000) && ping.exitCode() == 0)
                return true;
            if (FServer.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(50);
        }
        return false;
    }
    bool Kill() override
    {
        FServer.kill();
        return FServer.waitForFinished(10000);
    }
    bool Freeze(bool frozen) override { return FreezeProcess(FServer.processId(), frozen); }
    ~PrivateMariaDb() override
    {
        Freeze(false);
        Kill();
    }
    std::unique_ptr<TCCnxParam> Params() const override
    {
        std::unique_ptr<TCCnxParam> params = TestCnxParam(MySqlEngine);
        params->Port = QString::number(FPort);
        params->DataBaseName = QStringLiteral("cabinet");
        params->Login = QStringLiteral("lecteur");
        params->PassWord = QStringLiteral("lecture");
        return params;
    }

private:
    QString Path(const QString &name) const { return FFolder.filePath(name); }
    bool Admin(const QString &sql, QString &problem)
    {
        QProcess client;
        client.start(Executable(QStringLiteral("mariadb")),
                     {QStringLiteral("--no-defaults"), QStringLiteral("--socket=") + Path(QStringLiteral("s.sock")),
                      QStringLiteral("--user=root"), QStringLiteral("--default-character-set=utf8mb4"),
                      QStringLiteral("-e"), sql});
        if (client.waitForFinished(30000) && client.exitCode() == 0)
            return true;
        return Fail(problem, QString::fromLocal8Bit(client.readAllStandardError()));
    }

    QTemporaryDir FFolder{QStringLiteral("/tmp/scrivo-mariadb-XXXXXX")};
    QProcess FServer;
    int FPort = 0;
};

// A Firebird server run by the fixture's server script, reached through Host, Port and
// the alias "practice".
class PrivateFirebirdServer : public PrivateServer {
public:
    bool Start(QString &problem) override
    {
        if (FScript.isEmpty())
            return Fail(problem, QStringLiteral("SCRIVO_TEST_FB_SERVER_SCRIPT is not set: run the database tests through scripts/test"));
        FPort = FreePort();
        if (!Control({QStringLiteral("init"), Folder(), QString::number(FPort), qEnvironmentVariable("SCRIVO_TEST_FDB")}) || !Launch())
            return Fail(problem, QStringLiteral("the Firebird server did not start"));
        return true;
    }
    bool Launch() override { return Control({QStringLiteral("start"), Folder()}); }
    bool Kill() override { return Control({QStringLiteral("kill"), Folder()}); }
    bool Freeze(bool frozen) override
    {
        QFile pid(Folder() + QStringLiteral("/pid"));
        return pid.open(QIODevice::ReadOnly) && FreezeProcess(pid.readAll().trimmed().toLongLong(), frozen);
    }
    ~PrivateFirebirdServer() override
    {
        if (FPort) {
            Freeze(false);
            Kill();
        }
    }
    std::unique_ptr<TCCnxParam> Params() const override
    {
        std::unique_ptr<TCCnxParam> params = TestCnxParam(FirebirdServerEngine);
        params->Port = QString::number(FPort);
        params->DataBaseName = QStringLiteral("practice");
        return params;
    }

private:
    QString Folder() const { return FFolder.filePath(QStringLiteral("server")); }
    bool Control(const QStringList &arguments) const { return QProcess::execute(FScript, arguments) == 0; }

    const QString FScript = qEnvironmentVariable("SCRIVO_TEST_FB_SERVER_SCRIPT");
    QTemporaryDir FFolder;
    int FPort = 0;
};

#endif

// The connect string of each engine: the port that reaches it, the default character
// set, and the values the Firebird syntax can carry as they are or not at all.
const auto &ConnectionRows()
{
    const QString refused = QStringLiteral("Le paramètre de connexion PassWord %1, ce qu'une connexion Firebird ne peut pas transmettre.");
    struct Row {
        const char *name, *kind, *host, *port, *database, *password, *charset, *connect;
        QString problem;
    };
    static const Row rows[] = {
        {"embedded: no port", "firebird", "", "3051", "/srv/cabinet.fdb", "masterkey", "WIN1252",
         "service=/srv/cabinet.fdb user=SYSDBA password=masterkey charset=WIN1252", {}},
        {"server, empty port", "firebird", "serveur", "", "/srv/cabinet.fdb", "masterkey", "WIN1252",
         "service=serveur/3050:/srv/cabinet.fdb user=SYSDBA password=masterkey charset=WIN1252", {}},
        {"server, port abc", "firebird", "serveur", "abc", "cabinet", "masterkey", "WIN1252",
         "service=serveur/3050:cabinet user=SYSDBA password=masterkey charset=WIN1252", {}},
        {"server, port after a blank", "firebird", "serveur", " 3051", "cabinet", "masterkey", "WIN1252",
         "service=serveur/3051:cabinet user=SYSDBA password=masterkey charset=WIN1252", {}},
        {"no charset", "firebird", "", "", "/srv/cabinet.fdb", "masterkey", "", "service=/srv/cabinet.fdb user=SYSDBA password=masterkey charset=NONE", {}},
        {"blanks quoted", "firebird", "", "", "/srv/mon cabinet.fdb", "master key", "WIN1252",
         "service=\"/srv/mon cabinet.fdb\" user=SYSDBA password=\"master key\" charset=WIN1252", {}},
        {"quotes as they are", "firebird", "", "", "/srv/cabinet\"2.fdb", "mas\"terkey\"", "WIN1252",
         "service=/srv/cabinet\"2.fdb user=SYSDBA password=mas\"terkey\" charset=WIN1252", {}},
        {"blank and quote", "firebird", "", "", "/srv/cabinet.fdb", "mas \"terkey", "WIN1252", "",
         refused.arg(QStringLiteral("contient à la fois des blancs et des guillemets (\")"))},
        {"leading quote", "firebird", "", "", "/srv/cabinet.fdb", "\"masterkey", "WIN1252", "",
         refused.arg(QStringLiteral("commence par des guillemets (\")"))},
        {"mysql: default port, quotes escaped", "mysql", "127.0.0.1", "", "cabinet", "l'ecture", "",
         "port=3306 charset=utf8mb4 host='127.0.0.1' db='cabinet' user='SYSDBA' password='l\\'ecture' "
         "connect_timeout=10 read_timeout=30 write_timeout=30", {}},
    };
    return rows;
}

} // namespace

class tst_Connexion : public QObject {
    Q_OBJECT

private slots:
    void init() { FScope = std::make_unique<DatabaseTestScope>(); }
    void cleanup() { FScope.reset(); }

    void tableExist_data() { AddEngineData(); }
    void tableExist()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        QVERIFY(connexion->TableExist(QStringLiteral("glb_groupe")));
        QVERIFY(connexion->TableExist(QStringLiteral("GLB_GROUPE")));
        QVERIFY(connexion->TableExist(QStringLiteral("Que_Tc_Questionnaire_Question")));
        QVERIFY(!connexion->TableExist(QStringLiteral("glb_groupes")));
        QVERIFY(!connexion->TableExist(QStringLiteral("RDB$RELATIONS"))); // system tables are not the practice's
        QVERIFY(FScope->messages().requests().isEmpty());
    }

    // Column lookup, value types, NULL, order, walking, empty results and unknown columns.
    void recordSetValues_data() { AddEngineData(); }
    void recordSetValues()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        std::unique_ptr<TCRecordSet> doctors = Open(*connexion, QStringLiteral("SELECT * FROM GLB_MEDECIN ORDER BY nom, prenom"));
        QVERIFY(doctors);
        QVERIFY(doctors->HasField(QStringLiteral("nom")) && doctors->HasField(QStringLiteral("NOM")));
        QVERIFY(doctors->HasField(QStringLiteral("Est_Remplacant")));
        QVERIFY(!doctors->HasField(QStringLiteral("absent")));
        QStringList names;
        for (; !doctors->Eof(); doctors->Next()) {
            names << doctors->FieldValue(QStringLiteral("Nom")).toString();
            if (names.size() == 1) {
                QCOMPARE(doctors->FieldValue(QStringLiteral("prenom")).toString(), QStringLiteral("Ève"));
                const QVariant code = doctors->FieldValue(QStringLiteral("code_medecin"));
                QCOMPARE(code.typeId(), QMetaType::Int);
                QCOMPARE(code.toInt(), 8);
                QVERIFY(!doctors->FieldValue(QStringLiteral("mot_passe_medecin")).isValid());
                QVERIFY(!doctors->FieldValue(QStringLiteral("est_medecin")).isValid());
            }
            if (names.last() == QLatin1String("Lefèvre")) {
                // CHAR values come as each engine gives them: Firebird pads with blanks.
                QCOMPARE(doctors->FieldValue(QStringLiteral("initiales")).toString(),
                         IsFirebird(engine) ? QStringLiteral("HL  ") : QStringLiteral("HL"));
                QCOMPARE(doctors->FieldValue(QStringLiteral("dernier_responsable")).toString(),
                         QStringLiteral("  Dr   Lefèvre \t Hélène  "));
            }
        }
        QCOMPARE(names, QStringList({QStringLiteral("Bérard"), QStringLiteral("Chénier"), QStringLiteral("Doctor"),
                                     QStringLiteral("Faure-Lœvenbruck"), QStringLiteral("Garçon"), QStringLiteral("Lefèvre"),
                                     QStringLiteral("Martin"), QStringLiteral("Roux"), QStringLiteral("SuperViseur"),
                                     QStringLiteral("Vidal")}));
        QVERIFY_THROWS_EXCEPTION(EScrivoError, doctors->FieldValue(QStringLiteral("nom")));

        std::unique_ptr<TCRecordSet> question = Open(*connexion, QStringLiteral("SELECT * FROM QUE_QUESTION WHERE code_question = 104"));
        QVERIFY(question);
        QCOMPARE(question->FieldValue(QStringLiteral("valeur_min")).typeId(), QMetaType::Double);
        QCOMPARE(question->FieldValue(QStringLiteral("valeur_min")).toDouble(), 0.5);
        QVERIFY(!question->FieldValue(QStringLiteral("valeur_max")).isValid());
        QVERIFY_THROWS_EXCEPTION(EScrivoError, question->FieldValue(QStringLiteral("code_questionnaire")));

        const QVariant count = SingleValue(*connexion, QStringLiteral("SELECT COUNT(*) AS nombre FROM GLB_GROUPE"), QStringLiteral("NOMBRE"));
        QCOMPARE(count.typeId(), QMetaType::LongLong);
        QCOMPARE(count.toLongLong(), 6);
        QCOMPARE(NullToInt(SingleValue(*connexion, QStringLiteral("SELECT min( code_groupe ) as valeur FROM GLB_GROUPE WHERE est_medecin = -1"),
                                       QStringLiteral("valeur"))),
                 3);

        std::unique_ptr<TCRecordSet> none = std::make_unique<TCSentinelRecordSet>();
        QVERIFY(!connexion->OpenRecordSet(QStringLiteral("SELECT * FROM ANT_ANTECEDENT WHERE code_antecedent = -5"), none));
        QVERIFY(!none);
        QVERIFY(FScope->messages().requests().isEmpty());
        QVERIFY(!connexion->ConnectionLost);
    }

    // Accents and the merge-code characters, both read and written in a statement.
    void specialCharacters_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("charset");
        QTest::newRow("firebird WIN1252") << FirebirdEngine << "SCRIVO_TEST_FDB" << "WIN1252";
        QTest::newRow("firebird WIN1252 read as UTF8") << FirebirdEngine << "SCRIVO_TEST_FDB" << "UTF8";
        QTest::newRow("firebird NONE") << FirebirdEngine << "SCRIVO_TEST_FDB_NONE" << "";
        QTest::newRow("firebird-server WIN1252") << FirebirdServerEngine << "" << "WIN1252";
        QTest::newRow("firebird-server NONE") << FirebirdServerEngine << "SCRIVO_TEST_FB_DATABASE_NONE" << "";
        QTest::newRow("mysql latin1") << MySqlEngine << "" << "";
    }
    void specialCharacters()
    {
        QFETCH(QString, engine);
        QFETCH(QString, fixture);
        QFETCH(QString, charset);
        SCRIVO_SKIP_WITHOUT_ENGINE(engine);
        const auto connexionOwner = SetUpConnexion(
            engine,
            [&](TCCnxParam &params) {
                const QString database = qEnvironmentVariable(fixture.toUtf8().constData());
                if (!fixture.isEmpty()) // a file of this process's own, or the server's
                    params.DataBaseName = engine == FirebirdEngine ? CopyFirebirdDatabase(database) : database;
            },
            charset);
        TCConnexion &connexion = *connexionOwner;
        QVERIFY2(connexion.Connect(false), qPrintable(connexion.LastServerMessage()));
        QCOMPARE(SingleValue(connexion, QStringLiteral("SELECT libelle FROM ANT_ANTECEDENT WHERE code_antecedent = 99"),
                             QStringLiteral("libelle"))
                     .toString(),
                 SpecialText);
        QCOMPARE(NullToInt(SingleValue(connexion, QStringLiteral("SELECT code_antecedent FROM ANT_ANTECEDENT WHERE libelle = '") + SpecialText + u'\'',
                                       QStringLiteral("code_antecedent"))),
                 99);
        QCOMPARE(GroupLabel(connexion), QStringLiteral("Médecins généralistes"));
    }

    void rowLimit_data() { AddEngineData(); }
    void rowLimit()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        std::unique_ptr<TCRecordSet> groups = Open(*connexion, QStringLiteral("select code_groupe from glb_groupe order by code_groupe"), 2);
        QCOMPARE(connexion->LastStatement(),
                 IsFirebird(engine) ? QStringLiteral("SELECT FIRST 2 code_groupe from glb_groupe order by code_groupe")
                                          : QStringLiteral("select code_groupe from glb_groupe order by code_groupe LIMIT 2"));
        int rows = 0;
        for (; groups && !groups->Eof(); groups->Next())
            ++rows;
        QCOMPARE(rows, 2);
        Open(*connexion, QStringLiteral("select code_groupe from glb_groupe"), 0);
        QCOMPARE(connexion->LastStatement(), QStringLiteral("select code_groupe from glb_groupe"));
    }

    // A statement that fails on both attempts: the combined message, the raise, the lost
    // connection flag; the connection itself goes on working.
    void statementFailingTwice_data() { AddEngineData(); }
    void statementFailingTwice()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        QElapsedTimer timer;
        timer.start();
        QString raised;
        try {
            Open(*connexion, QStringLiteral("select code from t"), 5);
            QFAIL("no error raised");
        } catch (const EScrivoError &error) {
            raised = error.Message();
        }
        QVERIFY(timer.elapsed() >= 1000); // 500 ms after each failure
        QCOMPARE(connexion->LastStatement(), IsFirebird(engine) ? QStringLiteral("SELECT FIRST 5 code from t")
                                                                     : QStringLiteral("select code from t LIMIT 5"));
        const QStringList parts = raised.split(QStringLiteral("\r\n"));
        QVERIFY2(raised.contains(IsFirebird(engine) ? QStringLiteral("Table unknown") : QStringLiteral("doesn't exist")),
                 qPrintable(raised));
        QCOMPARE(parts.size() % 2, 0);
        const QString first = parts.mid(0, parts.size() / 2).join(QStringLiteral("\r\n"));
        QCOMPARE(raised, first + QStringLiteral("\r\n") + first);
        QCOMPARE(FScope->messages().texts(), QStringList{QStringLiteral("Erreur interne OpenRecordSet  : \r\n") + raised});
        QCOMPARE(FScope->messages().requests().first().flags, int(mfOk));
        QCOMPARE(FScope->messages().requests().first().title, ApplicationTitle());
        QVERIFY(connexion->ConnectionLost);
        QVERIFY(connexion->Connected());
        QCOMPARE(GroupCount(*connexion), 6);
    }

    // The server drops the connection (killed from another session): the statement is run
    // again on a new connection, silently.
    void statementFailingOnce_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("whoAmI");
        QTest::addColumn<QString>("kill");
        QTest::newRow("mysql") << MySqlEngine << "SELECT CONNECTION_ID() AS id" << "KILL %1";
        QTest::newRow("firebird-server") << FirebirdServerEngine << "SELECT CURRENT_CONNECTION AS id FROM RDB$DATABASE"
                                         << "DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = %1";
    }
    void statementFailingOnce()
    {
        QFETCH(QString, engine);
        QFETCH(QString, whoAmI);
        QFETCH(QString, kill);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        const QString before = SingleValue(*connexion, whoAmI, QStringLiteral("id")).toString();
        QVERIFY(!before.isEmpty());
        if (engine == MySqlEngine)
            ExecuteOnTestMySql(kill.arg(before));
        else
            ExecuteOnTestFirebirdServer(kill.arg(before));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(GroupCount(*connexion), 6);
        QVERIFY(timer.elapsed() >= 500);
        QVERIFY(FScope->messages().requests().isEmpty());
        QVERIFY(!connexion->ConnectionLost);
        QVERIFY(SingleValue(*connexion, whoAmI, QStringLiteral("id")).toString() != before);
    }

    void connectionRefused()
    {
        SCRIVO_SKIP_WITHOUT_ENGINE(MySqlEngine);
        const auto connexionOwner = SetUpConnexion(MySqlEngine, [](TCCnxParam &params) { params.Port = QString::number(FreePort()); });
        TCConnexion &connexion = *connexionOwner;
        FScope->messages().enqueueButton(idNo);
        QVERIFY(!connexion.Connect(true));
        QVERIFY(!connexion.LastServerMessage().isEmpty());
        const QString question = QStringLiteral("Impossible de se connecter à la base de donnée.\r\n"
                                                "Vérifiez que le serveur et votre réseau sont bien en service\r\n"
                                                "ou vérifiez vos paramètres de connexions.\r\n\r\n"
                                                "Dernier message du serveur : \r\n")
            + connexion.LastServerMessage() + QStringLiteral("\r\n\r\nVoulez-vous retentez la connexion ?");
        QCOMPARE(FScope->messages().texts(), QStringList{question});
        QCOMPARE(FScope->messages().requests().first().flags, 148);
        QCOMPARE(FScope->messages().requests().first().title, ApplicationTitle());

        FScope->messages().clear();
        FScope->messages().enqueueButton(idYes);
        FScope->messages().enqueueButton(idNo);
        QVERIFY(!connexion.Connect(true));
        QCOMPARE(FScope->messages().texts(), QStringList({question, question}));

        FScope->messages().clear();
        QVERIFY(!connexion.Connect(false));
        QVERIFY(FScope->messages().requests().isEmpty());
    }

    // No connection: the retry question is not asked without askRetry, and TableExist refuses.
    void firebirdFileMissing()
    {
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        const auto connexionOwner = SetUpConnexion(FirebirdEngine, [](TCCnxParam &params) {
            params.DataBaseName = QStringLiteral("/nonexistent/cabinet.fdb");
            params.Port = QStringLiteral("abc"); // not a number: the default port, and no harm
        });
        TCConnexion &connexion = *connexionOwner;
        QVERIFY(!connexion.Connect(false));
        QVERIFY2(connexion.LastServerMessage().contains(QStringLiteral("/nonexistent/cabinet.fdb")),
                 qPrintable(connexion.LastServerMessage()));
        try {
            connexion.TableExist(QStringLiteral("glb_groupe"));
            QFAIL("TableExist ran without a connection");
        } catch (const EScrivoError &error) {
            QCOMPARE(error.Message(), QStringLiteral("Pas de connexion en cours\r\nFunc: TCConnexion.TableExist\r\n"));
        }
    }

    // A client's error that quotes the password shows stars instead.
    void passwordNeverShown()
    {
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        const auto connexion = SetUpConnexion(FirebirdEngine, [](TCCnxParam &params) {
            params.DataBaseName = QStringLiteral("/nonexistent/Secret-42/cabinet.fdb");
            params.PassWord = QStringLiteral("Secret-42");
        });
        QVERIFY(!connexion->Connect(false));
        QVERIFY2(connexion->LastServerMessage().contains(QStringLiteral("/nonexistent/********/cabinet.fdb"))
                     && !connexion->LastServerMessage().contains(QStringLiteral("Secret-42")),
                 qPrintable(connexion->LastServerMessage()));
    }

    void connectionSettings_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(ConnectionRows())); ++row)
            QTest::newRow(ConnectionRows()[row].name) << row;
    }
    void connectionSettings()
    {
        QFETCH(int, row);
        const auto &expected = ConnectionRows()[row];
        TCConnectionValues values;
        values.ServerKind = QString::fromUtf8(expected.kind);
        values.Host = QString::fromUtf8(expected.host);
        values.Port = QString::fromUtf8(expected.port);
        values.DataBaseName = QString::fromUtf8(expected.database);
        values.Login = QStringLiteral("SYSDBA");
        values.PassWord = QString::fromUtf8(expected.password);
        values.Charset = QString::fromUtf8(expected.charset);
        const TCConnectionSettings settings = BuildConnectionSettings(values);
        QCOMPARE(QString::fromStdString(settings.connectString), QString::fromUtf8(expected.connect));
        QCOMPARE(settings.problem, expected.problem);
        QCOMPARE(settings.backend == TCConnectionSettings::Backend::None, !expected.problem.isEmpty());
    }

    // Servers older than 4.1 log in, then fail every query in the client library: they are
    // named and refused; the test server (MariaDB) connects, as the other tests show.
    void mysqlServerVersions_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("refused");
        QTest::newRow("3.23") << "3.23.58" << true;
        QTest::newRow("4.0 with suffix") << "4.0.27-log" << true;
        QTest::newRow("4.1") << "4.1.22-community" << false;
        QTest::newRow("5.0") << "5.0.96" << false;
        QTest::newRow("MariaDB") << "10.11.6-MariaDB-0+deb12u1" << false;
        QTest::newRow("unreadable") << "inconnue" << false;
    }
    void mysqlServerVersions()
    {
        QFETCH(QString, version);
        QFETCH(bool, refused);
        const QString message = MySqlServerTooOld(version);
        QCOMPARE(!message.isEmpty(), refused);
        if (refused)
            QVERIFY2(message.contains(version) && message.contains(QStringLiteral("4.1")), qPrintable(message));
    }

    // A password and a database path holding a double quote reach Firebird as they are
    // (the embedded engine takes any password).
    void firebirdValuesWithQuotes()
    {
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("cabinet\"1.fdb"));
        bool copied = false;
        const auto connexion = SetUpConnexion(FirebirdEngine, [&](TCCnxParam &params) {
            copied = QFile::copy(params.DataBaseName, path);
            params.DataBaseName = path;
            params.PassWord = QStringLiteral("mas\"terkey");
        });
        QVERIFY(copied);
        QVERIFY2(connexion->Connect(false), qPrintable(connexion->LastServerMessage()));
        QCOMPARE(GroupCount(*connexion), 6);
    }

    // Firebird: every statement sees what others committed before it ran, reads the
    // column types a practice database may hold (text BLOBs included), and cannot write.
    void firebirdTransactionsAndTypes()
    {
        SCRIVO_OPEN_TEST_CONNEXION(connexion, FirebirdEngine);
        QCOMPARE(GroupCount(*connexion), 6);
        {
            soci::session writer(*soci::factory_firebird(), "service=" + connexion->Params()->DataBaseName.toStdString()
                                                                 + " user=SYSDBA password=masterkey charset=WIN1252");
            writer << "INSERT INTO GLB_GROUPE VALUES (11, 'Remplaçants', -1)";
            writer << "CREATE TABLE SIGNATURE (code INTEGER, note BLOB SUB_TYPE TEXT, image BLOB SUB_TYPE 0, "
                      "tarif NUMERIC(9,2), le DATE, depuis TIMESTAMP, actif BOOLEAN)";
            writer.commit();
            writer << "INSERT INTO SIGNATURE VALUES (1, 'Signature \x80 \x95 Dr Lef\xe8vre', x'00FF', 25.5, "
                      "'2024-03-01', '2024-03-01 08:30:15', TRUE)";
            writer.commit();
        }
        QCOMPARE(GroupCount(*connexion), 7);
        std::unique_ptr<TCRecordSet> row = Open(*connexion, QStringLiteral("SELECT * FROM SIGNATURE"));
        QVERIFY(row);
        QCOMPARE(row->FieldValue(QStringLiteral("note")).toString(), QStringLiteral("Signature € • Dr Lefèvre"));
        QCOMPARE(row->FieldValue(QStringLiteral("image")).toByteArray(), QByteArray("\x00\xff", 2));
        QCOMPARE(row->FieldValue(QStringLiteral("tarif")).toDouble(), 25.5);
        QCOMPARE(row->FieldValue(QStringLiteral("le")).toDate(), QDate(2024, 3, 1));
        QCOMPARE(row->FieldValue(QStringLiteral("depuis")).toDateTime(), QDateTime(QDate(2024, 3, 1), QTime(8, 30, 15)));
        QCOMPARE(NullToInt(row->FieldValue(QStringLiteral("actif"))), -1);

        QVERIFY_THROWS_EXCEPTION(EScrivoError, Open(*connexion, QStringLiteral("INSERT INTO GLB_GROUPE VALUES (12, 'x', 0)")));
        QVERIFY2(FScope->messages().texts().value(0).contains(QStringLiteral("read-only")), qPrintable(FScope->messages().texts().value(0)));
        QCOMPARE(GroupCount(*connexion), 7);
    }

    // A server of the test's own, killed and started again between two statements: the
    // statement is run again on a new connection, silently. Killed for good: the statement
    // fails within the timeouts with the message and ConnectionLost; started again, all
    // works. MariaDB frozen: the same, within the read timeout.
    void serverKilledAndRestarted_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("failsWithinMs");
        QTest::newRow("mysql") << MySqlEngine << 15000;
        QTest::newRow("firebird-server") << FirebirdServerEngine << 5000;
    }
    void serverKilledAndRestarted()
    {
#ifdef _WIN32
        QSKIP("Wine starts no Unix server from a Windows program");
#else
        QFETCH(QString, engine);
        QFETCH(int, failsWithinMs);
        SCRIVO_SKIP_WITHOUT_ENGINE(engine);
        std::unique_ptr<PrivateServer> server;
        if (engine == MySqlEngine)
            server = std::make_unique<PrivateMariaDb>();
        else
            server = std::make_unique<PrivateFirebirdServer>();
        QString problem;
        QVERIFY2(server->Start(problem), qPrintable(problem));
        TCConnexion connexion(server->Params());
        connexion.ConnectTimeout = 2;
        connexion.ReadTimeout = 2;
        connexion.SetupConnection();
        QVERIFY2(connexion.Connect(false), qPrintable(connexion.LastServerMessage()));
        const QString label = QStringLiteral("Médecins généralistes");
        QCOMPARE(GroupLabel(connexion), label);

        QVERIFY(server->Kill());
        QVERIFY(server->Launch());
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(GroupLabel(connexion), label);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(FScope->messages().requests().isEmpty());
        QVERIFY(!connexion.ConnectionLost);

        QVERIFY(server->Kill());
        timer.restart();
        QVERIFY_THROWS_EXCEPTION(EScrivoError, GroupLabel(connexion));
        QVERIFY2(timer.elapsed() < failsWithinMs, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(FScope->messages().requests().size(), 1);
        QVERIFY2(FScope->messages().texts().first().startsWith(QStringLiteral("Erreur interne OpenRecordSet  : \r\n")),
                 qPrintable(FScope->messages().texts().first()));
        QVERIFY(connexion.ConnectionLost);

        QVERIFY(server->Launch());
        QCOMPARE(GroupLabel(connexion), label);
        QVERIFY(connexion.Connected());

        // Frozen (a machine that stops answering): told once, within the statement's bound
        // and not twice it; the attachment tried again within its own bound; going on
        // once the server answers again.
        FScope->messages().clear();
        QVERIFY(server->Freeze(true));
        timer.restart();
        QVERIFY_THROWS_EXCEPTION(EScrivoError, GroupLabel(connexion));
        QVERIFY2(timer.elapsed() < 2 * connexion.ReadTimeout * 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(FScope->messages().requests().size(), 1);
        QVERIFY2(FScope->messages().texts().first().contains(QStringLiteral("ne répond pas")),
                 qPrintable(FScope->messages().texts().first()));
        FScope->messages().clear();
        FScope->messages().enqueueButton(idNo);
        timer.restart();
        QVERIFY(!connexion.Connect(true));
        QVERIFY2(timer.elapsed() < 2 * connexion.ConnectTimeout * 1000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(server->Freeze(false));
        QCOMPARE(GroupLabel(connexion), label);
#endif
    }

    // Once a Firebird database is attached, SIGTERM and SIGINT still end the program
    // through its event loop (run in a child process of this test).
    void terminationSignals_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void terminationSignals()
    {
#ifdef _WIN32
        QSKIP("POSIX signals (the Windows program's own ends are tested under tests/windows)");
#else
        QFETCH(int, signalNumber);
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--signal-child"), CopyFirebirdDatabase(qEnvironmentVariable("SCRIVO_TEST_FDB"))});
        QByteArray output;
        QElapsedTimer timer;
        timer.start();
        while (!output.contains("attached") && timer.elapsed() < 30000 && child.state() != QProcess::NotRunning) {
            child.waitForReadyRead(200);
            output += child.readAll();
        }
        QVERIFY2(output.contains("attached"), output.constData());
        ::kill(pid_t(child.processId()), signalNumber);
        const bool ended = child.waitForFinished(15000);
        output += child.readAll();
        if (!ended) {
            child.kill();
            child.waitForFinished(5000);
        }
        QVERIFY2(ended, output.constData());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(output.contains("ended cleanly"), output.constData());
#endif
    }

private:
    // A record set that is there before a call that must clear it.
    class TCSentinelRecordSet : public TCRecordSet {
    public:
        bool Eof() const override { return true; }
        void Next() override {}
        bool HasField(const QString &) const override { return false; }
        QVariant FieldValue(const QString &) const override { return {}; }
    };

    std::unique_ptr<DatabaseTestScope> FScope;
};

#ifndef _WIN32
// Child process of terminationSignals: attaches the database, runs the event loop until
// a signal ends it, then frees the connection.
static int SignalChild(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    TestProcessStrings strings;
    auto connexion = SetUpConnexion(FirebirdEngine, [&](TCCnxParam &params) { params.DataBaseName = QString::fromLocal8Bit(argv[2]); });
    if (!connexion->Connect(false) || !connexion->TableExist(QStringLiteral("GLB_GROUPE"))) {
        qInfo("cannot attach: %s", qPrintable(connexion->LastServerMessage()));
        return 2;
    }
    qInfo("attached");
    const int result = application.exec();
    connexion.reset();
    qInfo("ended cleanly");
    return result;
}
#endif

int main(int argc, char **argv)
{
#ifndef _WIN32
    if (argc == 3 && qstrcmp(argv[1], "--signal-child") == 0)
        return SignalChild(argc, argv);
#endif
    QApplication application(argc, argv);
    tst_Connexion test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_connexion.moc"
