#include "TestDatabases.h"

#include "config/CCnxParam.h"
#include "config/CConnexion.h"
#include "support/CAppNames.h"
#include "support/StrMan.h"
#include "testsupport/RegistryFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <soci/firebird/soci-firebird.h>
#include <soci/mysql/soci-mysql.h>
#include <soci/soci.h>

#ifdef _WIN32
#include "platform/windows/LibrarySearch.h"
#endif

namespace {

QString Environment(const char *name)
{
    return qEnvironmentVariable(name);
}

// Registry files that do not exist: the parameters then hold their defaults only.
void UseEmptyRegistry()
{
    static RegistryFiles empty;
    empty.activate();
}

const TCAppNames &Names()
{
    static const TCAppNames names;
    return names;
}

} // namespace

void AddEngineData()
{
    QTest::addColumn<QString>("engine");
    QTest::newRow("firebird") << FirebirdEngine;
    QTest::newRow("firebird-server") << FirebirdServerEngine;
    QTest::newRow("mysql") << MySqlEngine;
}

bool FirebirdClientPresent()
{
#ifdef _WIN32
    return platform::win::loadFromProgramFolder(L"fbclient.dll").empty();
#else
    return true; // linked the usual way
#endif
}

QString EngineOutOfReach(const QString &engine)
{
    if (IsFirebird(engine) && !FirebirdClientPresent())
        return QStringLiteral("fbclient.dll is not beside this program");
#ifdef _WIN32
    if (engine == FirebirdEngine)
        return QStringLiteral("the Windows build has the Firebird client alone, not the embedded engine");
#endif
    return QString();
}

QString TestEngineUnavailable(const QString &engine)
{
    if (const QString outOfReach = EngineOutOfReach(engine); !outOfReach.isEmpty())
        return outOfReach;
    if (engine == FirebirdEngine) {
        const QString file = Environment("SCRIVO_TEST_FDB");
        if (file.isEmpty())
            return QStringLiteral("SCRIVO_TEST_FDB is not set: run the database tests through scripts/test");
        if (!QFileInfo(file).isFile())
            return QStringLiteral("no Firebird fixture at ") + file;
        return QString();
    }
    if (engine == FirebirdServerEngine) {
        if (Environment("SCRIVO_TEST_FB_PORT").isEmpty())
            return QStringLiteral("SCRIVO_TEST_FB_PORT is not set: run the database tests through scripts/test");
        return QString();
    }
    if (engine == MySqlEngine) {
        if (Environment("SCRIVO_TEST_MYSQL_PORT").isEmpty())
            return QStringLiteral("SCRIVO_TEST_MYSQL_PORT is not set: run the database tests through scripts/test");
        return QString();
    }
    return QStringLiteral("unknown engine ") + engine;
}

QString CopyFirebirdDatabase(const QString &source)
{
    static QTemporaryDir folder;
    static int copies = 0;
    if (!QFileInfo(source).isFile())
        return QString();
    const QString target = folder.filePath(QStringLiteral("copy%1-%2").arg(++copies).arg(QFileInfo(source).fileName()));
    if (!QFile::copy(source, target))
        return QString();
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

namespace {

// What a workstation names to reach a database.
struct DatabaseAccess {
    QString type, host, port, database, login, password, charset;
};

// How the engine's fixture is reached; the engine is available.
DatabaseAccess FixtureAccess(const QString &engine, const QString &charset)
{
    if (engine == FirebirdEngine)
        return {QStringLiteral("FireBird 2.0"), QString(), QString(), CopyFirebirdDatabase(Environment("SCRIVO_TEST_FDB")),
                QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), charset};
    if (engine == FirebirdServerEngine)
        return {QStringLiteral("FireBird 2.1"), Environment("SCRIVO_TEST_FB_HOST"), Environment("SCRIVO_TEST_FB_PORT"),
                Environment("SCRIVO_TEST_FB_DATABASE"), QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), charset};
    QString host = Environment("SCRIVO_TEST_MYSQL_HOST");
    if (host.isEmpty())
        host = QStringLiteral("127.0.0.1");
    return {QStringLiteral("MySQL 4.0"), host, Environment("SCRIVO_TEST_MYSQL_PORT"), Environment("SCRIVO_TEST_MYSQL_DATABASE"),
            Environment("SCRIVO_TEST_MYSQL_USER"), Environment("SCRIVO_TEST_MYSQL_PASSWORD"), QString()};
}

} // namespace

std::unique_ptr<TCCnxParam> TestCnxParam(const QString &engine, const QString &charset)
{
    if (!TestEngineUnavailable(engine).isEmpty())
        return nullptr;
    UseEmptyRegistry();
    const DatabaseAccess access = FixtureAccess(engine, charset);
    auto params = std::make_unique<TCCnxParam>(Names(), QStringList{QStringLiteral("scrivo")});
    params->DataBaseType = access.type;
    params->Host = access.host;
    params->Port = access.port;
    params->DataBaseName = access.database;
    params->Login = access.login;
    params->PassWord = access.password;
    params->Charset = access.charset;
    return params;
}

std::optional<RegText> TestWorkstation(const QString &engine, const QString &wordProcessor)
{
    if (!TestEngineUnavailable(engine).isEmpty())
        return std::nullopt;
    const DatabaseAccess access = FixtureAccess(engine, QStringLiteral("WIN1252"));
    RegText registry;
    registry.key()
        .dword(QStringLiteral("cnxregmode"), 0)
        .key(QStringLiteral("Cnx"))
        .dword(QStringLiteral("AutoLoadParam"), 0)
        .text(QStringLiteral("DataBaseType"), access.type)
        .text(QStringLiteral("Host"), access.host)
        .text(QStringLiteral("Port"), access.port)
        .text(QStringLiteral("DataBaseName"), access.database)
        .text(QStringLiteral("Login"), access.login)
        .text(QStringLiteral("PassWord"), access.password)
        .text(QStringLiteral("Charset"), access.charset)
        .key(QStringLiteral("Chemins"))
        .key(QStringLiteral("OptionLocale"))
        .text(QStringLiteral("WPNom"), QStringLiteral("Traitement"))
        .text(QStringLiteral("WPPath"), wordProcessor);
    return registry;
}

std::unique_ptr<TCConnexion> OpenTestConnexion(const QString &engine)
{
    std::unique_ptr<TCCnxParam> params = TestCnxParam(engine);
    if (!params)
        return nullptr;
    auto connexion = std::make_unique<TCConnexion>(std::move(params));
    connexion->SetupConnection();
    connexion->Connect(false);
    return connexion;
}

void ExecuteOnTestMySql(const QString &statement)
{
    const auto quoted = [](const QString &value) {
        std::string text = "'";
        for (const char c : value.toStdString()) {
            if (c == '\'' || c == '\\')
                text += '\\';
            text += c;
        }
        return text + '\'';
    };
    const std::string connectString = "host=" + quoted(Environment("SCRIVO_TEST_MYSQL_HOST"))
        + " port=" + Environment("SCRIVO_TEST_MYSQL_PORT").toStdString()
        + " db=" + quoted(Environment("SCRIVO_TEST_MYSQL_DATABASE"))
        + " user=" + quoted(Environment("SCRIVO_TEST_MYSQL_USER"))
        + " password=" + quoted(Environment("SCRIVO_TEST_MYSQL_PASSWORD")) + " connect_timeout=10 read_timeout=30";
    soci::session session(*soci::factory_mysql(), connectString);
    session << statement.toStdString();
}

void ExecuteOnTestFirebirdServer(const QString &statement)
{
    const std::string connectString = "service=" + Environment("SCRIVO_TEST_FB_HOST").toStdString() + '/'
        + Environment("SCRIVO_TEST_FB_PORT").toStdString() + ':' + Environment("SCRIVO_TEST_FB_DATABASE").toStdString()
        + " user=SYSDBA password=masterkey";
    soci::session session(*soci::factory_firebird(), connectString);
    session << statement.toStdString();
    session.commit();
}
