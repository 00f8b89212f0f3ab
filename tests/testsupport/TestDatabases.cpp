#include "TestDatabases.h"

#include "config/CCnxParam.h"
#include "config/CConnexion.h"
#include "support/CAppNames.h"
#include "support/StrMan.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <soci/mysql/soci-mysql.h>
#include <soci/soci.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

QString Environment(const char *name)
{
    return qEnvironmentVariable(name);
}

// Registry files that do not exist: the parameters then hold their defaults only.
void UseEmptyRegistry()
{
    static QTemporaryDir folder;
    qputenv("SCRIVO_HKCU_FILE", folder.filePath(QStringLiteral("absent-hkcu.reg")).toUtf8());
    qputenv("SCRIVO_HKLM_FILE", folder.filePath(QStringLiteral("absent-hklm.reg")).toUtf8());
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
    return LoadLibraryW(L"fbclient.dll") != nullptr;
#else
    return true; // linked the usual way
#endif
}

QString TestEngineUnavailable(const QString &engine)
{
    if (IsFirebird(engine) && !FirebirdClientPresent())
        return QStringLiteral("fbclient.dll is not installed: the Firebird client comes with Firebird");
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

std::unique_ptr<TCCnxParam> TestCnxParam(const QString &engine, const QString &charset)
{
    if (!TestEngineUnavailable(engine).isEmpty())
        return nullptr;
    UseEmptyRegistry();
    auto params = std::make_unique<TCCnxParam>(Names(), QStringList{QStringLiteral("scrivo")});
    if (engine == FirebirdEngine) {
        params->DataBaseType = QStringLiteral("FireBird 2.0");
        params->DataBaseName = CopyFirebirdDatabase(Environment("SCRIVO_TEST_FDB"));
        params->Login = QStringLiteral("SYSDBA");
        params->PassWord = QStringLiteral("masterkey");
        params->Charset = charset;
    } else if (engine == FirebirdServerEngine) {
        params->DataBaseType = QStringLiteral("FireBird 2.1");
        params->Host = Environment("SCRIVO_TEST_FB_HOST");
        params->Port = Environment("SCRIVO_TEST_FB_PORT");
        params->DataBaseName = Environment("SCRIVO_TEST_FB_DATABASE");
        params->Login = QStringLiteral("SYSDBA");
        params->PassWord = QStringLiteral("masterkey");
        params->Charset = charset;
    } else {
        params->DataBaseType = QStringLiteral("MySQL 4.0");
        params->Host = Environment("SCRIVO_TEST_MYSQL_HOST");
        if (params->Host.isEmpty())
            params->Host = QStringLiteral("127.0.0.1");
        params->Port = Environment("SCRIVO_TEST_MYSQL_PORT");
        params->DataBaseName = Environment("SCRIVO_TEST_MYSQL_DATABASE");
        params->Login = Environment("SCRIVO_TEST_MYSQL_USER");
        params->PassWord = Environment("SCRIVO_TEST_MYSQL_PASSWORD");
    }
    return params;
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
