// Every kind of account a practice's server may hold logs in through the program's own
// connection, and the server tells who came and how: Firebird's Srp and the legacy
// authentication of Firebird 2.x servers (with this process named as the client, so that
// a connection that went elsewhere cannot pass), MariaDB's ed25519. The clear-text
// password is never sent over a plain connection.
#include "testsupport/TestDatabases.h"

#include "config/CCnxParam.h"
#include "config/MySqlClientPlugins.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

#ifdef _WIN32
#include <windows.h> // plugin_auth.h names HANDLE without including it
#endif
#include <mysql.h>
#include <mysql/plugin_auth.h>

#include <cstring>

namespace {

QString Fetched(TCConnexion &connexion, const QString &sql, const QString &column)
{
    std::unique_ptr<TCRecordSet> recordSet;
    if (!connexion.OpenRecordSet(sql, recordSet, 0) || !recordSet || recordSet->Eof())
        return QStringLiteral("(nothing: %1)").arg(connexion.LastServerMessage());
    return recordSet->FieldValue(column).toString().trimmed();
}

// A channel to the server that records what the plugin writes.
struct RecordingVio {
    MYSQL_PLUGIN_VIO vio{};
    std::string written;
};

int RecordWrite(MYSQL_PLUGIN_VIO *vio, const unsigned char *packet, int length)
{
    reinterpret_cast<RecordingVio *>(vio)->written.assign(reinterpret_cast<const char *>(packet), size_t(length));
    return 0;
}

} // namespace

class tst_Accounts : public QObject {
    Q_OBJECT

private slots:
    void serverSeesTheAccount_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("seenAs"); // the authentication method, or the account
        QTest::newRow("firebird srp") << FirebirdServerEngine << "SYSDBA" << "masterkey" << "Srp";
        QTest::newRow("firebird legacy") << FirebirdServerEngine << "LEGACY" << "legacy" << "Legacy_Auth";
        QTest::newRow("mariadb ed25519") << MySqlEngine << qEnvironmentVariable("SCRIVO_TEST_MYSQL_ED25519_USER")
                                         << qEnvironmentVariable("SCRIVO_TEST_MYSQL_ED25519_PASSWORD")
                                         << qEnvironmentVariable("SCRIVO_TEST_MYSQL_ED25519_USER") + QStringLiteral("@%");
    }
    void serverSeesTheAccount()
    {
        QFETCH(QString, engine);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, seenAs);
        SCRIVO_SKIP_WITHOUT_ENGINE(engine);
        if (login.isEmpty())
            SCRIVO_SKIP_WITHOUT_FIXTURE("SCRIVO_TEST_MYSQL_ED25519_USER is not set: run the tests through scripts/test");
        DatabaseTestScope scope;
        std::unique_ptr<TCCnxParam> params = TestCnxParam(engine);
        params->Login = login;
        params->PassWord = password;
        TCConnexion connexion(std::move(params));
        connexion.SetupConnection();
        QVERIFY2(connexion.Connect(false), qPrintable(connexion.LastServerMessage()));
        if (engine == MySqlEngine) {
            QCOMPARE(Fetched(connexion, QStringLiteral("SELECT CURRENT_USER() AS who"), QStringLiteral("who")), seenAs);
            return;
        }
        const QString attachment = QStringLiteral("SELECT MON$AUTH_METHOD AS how, MON$REMOTE_PROCESS AS process "
                                                  "FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION");
        QCOMPARE(Fetched(connexion, attachment, QStringLiteral("how")), seenAs);
        const QString process = Fetched(connexion, attachment, QStringLiteral("process"));
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        QVERIFY2(process.endsWith(self, Qt::CaseInsensitive), qPrintable(process + QStringLiteral(" / ") + self));
    }

    // Over a plain connection the password stays here, with a message; over TLS it goes.
    void clearTextPasswordOnlyWhenEncrypted()
    {
        SecureMySqlClientPlugins();
        MYSQL *mysql = mysql_init(nullptr);
        const auto *plugin = reinterpret_cast<const TMySqlAuthenticationPlugin *>(
            mysql_client_find_plugin(mysql, "mysql_clear_password", TMySqlAuthenticationPlugin::Type));
        QVERIFY(plugin && plugin->authenticateUser == SendClearPasswordIfEncrypted);
        char password[] = "secret";
        mysql->passwd = password;
        RecordingVio channel;
        channel.vio.write_packet = RecordWrite;
        QCOMPARE(SendClearPasswordIfEncrypted(&channel.vio, mysql), CR_ERROR);
        QCOMPARE(channel.written, std::string());
        QVERIFY2(std::strstr(mysql_error(mysql), "en clair"), mysql_error(mysql));
        mysql->passwd = nullptr;
        mysql_close(mysql);
    }
};

QTEST_GUILESS_MAIN(tst_Accounts)
#include "tst_accounts.moc"
