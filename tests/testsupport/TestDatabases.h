// The practice database fixture for database tests: a ready TCConnexion on either engine,
// both loaded from tests/fixtures/db by scripts/db-session.sh, which exports where they
// are (SCRIVO_TEST_FDB..., SCRIVO_TEST_FB_..., SCRIVO_TEST_MYSQL_...). Firebird embedded:
// each test process works on its own copy of the database file (an embedded database
// opens in one process only); Firebird server: 127.0.0.1, its own port, SYSDBA.
// MariaDB: 127.0.0.1 and a user that may only read. Without those variables the tests
// skip, so unit runs work anywhere.
//
//   void tst_x::init() { FScope = std::make_unique<DatabaseTestScope>(); }
//   void tst_x::cleanup() { FScope.reset(); }
//   void tst_x::charger_data() { AddEngineData(); }
//   void tst_x::charger()
//   {
//       QFETCH(QString, engine);
//       SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);   // skips, or fails, or goes on connected
//       ...
//       QCOMPARE(FScope->messages().texts(), QStringList());
//   }
#pragma once

#include "config/CConnexion.h"
#include "testsupport/MissingFixture.h"
#include "testsupport/RegistryFiles.h"
#include "testsupport/ScriptedMessages.h"
#include "testsupport/TestProcessStrings.h"

#include <QString>
#include <QTest>

#include <memory>
#include <optional>

class TCCnxParam;

/// Engine names of the data-driven database tests.
inline const QString FirebirdEngine = QStringLiteral("firebird");
inline const QString MySqlEngine = QStringLiteral("mysql");
/// The Firebird fixture on the throwaway server, reached through Host and Port.
inline const QString FirebirdServerEngine = QStringLiteral("firebird-server");

/// Whether the engine is Firebird, embedded or server.
inline bool IsFirebird(const QString &engine)
{
    return engine == FirebirdEngine || engine == FirebirdServerEngine;
}

/// Adds the column "engine" and one row per engine ("firebird", "firebird-server",
/// "mysql") to the current data-driven test.
void AddEngineData();

/// Whether the Firebird client library can be loaded (on Windows, fbclient.dll is
/// delay-loaded from the program's folder and may be absent).
bool FirebirdClientPresent();

/// Empty when this build can reach the engine at all, else why not (a skip reason even
/// under scripts/test): the Firebird client missing on Windows, or the embedded engine,
/// which the Windows build does not have.
QString EngineOutOfReach(const QString &engine);

/// Empty when the engine's fixture is available, else why not (a skip reason).
QString TestEngineUnavailable(const QString &engine);

/// Connection parameters reaching the engine's fixture: DataBaseType, Host, Port,
/// DataBaseName, Login, PassWord and Charset set; the registry is empty. `charset` is
/// the Firebird client character set (the fixture is Windows-1252). Null when the
/// engine is unavailable.
std::unique_ptr<TCCnxParam> TestCnxParam(const QString &engine, const QString &charset = QStringLiteral("WIN1252"));

/// The machine registry of a workstation configured for the engine's fixture: "Cnx"
/// reaching it (Firebird embedded: on a fresh copy) without a central file, an empty
/// "Chemins", and `wordProcessor` as the word processor. None when the engine is unavailable.
std::optional<RegText> TestWorkstation(const QString &engine, const QString &wordProcessor);

/// A connection to the engine's fixture, set up and connected (no retry question;
/// LastServerMessage tells why it failed); null when the engine is unavailable.
std::unique_ptr<TCConnexion> OpenTestConnexion(const QString &engine);

/// Skips the test when the engine is unavailable: a missing fixture fails it under
/// scripts/test; a Windows machine without the Firebird client only skips it.
#define SCRIVO_SKIP_WITHOUT_ENGINE(engine)                                                        \
    do {                                                                                          \
        if (const QString outOfReach = EngineOutOfReach(engine); !outOfReach.isEmpty())           \
            QSKIP(qPrintable(outOfReach));                                                        \
        if (const QString unavailable = TestEngineUnavailable(engine); !unavailable.isEmpty())    \
            SCRIVO_SKIP_WITHOUT_FIXTURE(unavailable);                                             \
    } while (false)

/// Declares `var`, a connection from OpenTestConnexion: skips the test when the engine
/// is unavailable, fails it when the connection fails.
#define SCRIVO_OPEN_TEST_CONNEXION(var, engine)                                                   \
    SCRIVO_SKIP_WITHOUT_ENGINE(engine);                                                           \
    std::unique_ptr<TCConnexion> var = OpenTestConnexion(engine);                                 \
    QVERIFY(var);                                                                                 \
    QVERIFY2(var->Connected(), qPrintable(var->LastServerMessage()))

/// A fresh copy of a Firebird database file for this process (removed at exit); empty
/// when `source` does not exist.
QString CopyFirebirdDatabase(const QString &source);

/// Runs one statement on the fixture's MariaDB as the test user, outside Scrivo's
/// connection (KILL of one of its own sessions, for instance). Throws on failure.
void ExecuteOnTestMySql(const QString &statement);

/// The same on the fixture's Firebird server, as SYSDBA, committed.
void ExecuteOnTestFirebirdServer(const QString &statement);

/// One database test's process state: StringManager, then the scripted messages, so that
/// no message of the connection blocks the test; freed in reverse order.
class DatabaseTestScope {
public:
    ScriptedMessages &messages() { return FMessages; }

private:
    TestProcessStrings FStrings;
    ScriptedMessages FMessages;
};
