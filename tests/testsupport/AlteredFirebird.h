// A practice database in a state the shared fixture does not have (a table emptied,
// dropped or rebuilt, a column gone): a private Firebird copy of the fixture, changed by
// a writer connection of its own, then opened by Scrivo's connection. The MariaDB
// fixture is read-only for tests, so such states exist on Firebird only.
//
//   SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"DELETE FROM GLB_MEDECIN"});
//
// Statements are ASCII (the writer sends them as they are); each is committed at once,
// so DDL can be followed by statements that use its result.
#pragma once

#include "testsupport/TestDatabases.h"

#include "config/CCnxParam.h"
#include "config/CConnexion.h"

#include <QStringList>

#include <soci/firebird/soci-firebird.h>
#include <soci/soci.h>

#include <memory>

/// Runs `statements` on the Firebird database `file`, committing each. Throws the
/// writer's error when one fails.
inline void ExecuteOnFirebird(const QString &file, const QStringList &statements)
{
    soci::session writer(*soci::factory_firebird(), "service=" + file.toStdString() + " user=SYSDBA password=masterkey");
    for (const QString &statement : statements) {
        writer << statement.toStdString();
        writer.commit();
    }
}

/// The changed copy, connected; null when the Firebird fixture is unavailable.
inline std::unique_ptr<TCConnexion> OpenAlteredFirebird(const QStringList &statements)
{
    std::unique_ptr<TCCnxParam> params = TestCnxParam(FirebirdEngine);
    if (!params)
        return nullptr;
    ExecuteOnFirebird(params->DataBaseName, statements);
    auto connexion = std::make_unique<TCConnexion>(std::move(params));
    connexion->SetupConnection();
    connexion->Connect(false);
    return connexion;
}

/// Declares `var`, a connection to a changed copy: skips the test without the Firebird
/// fixture, fails it when the changes or the connection fail.
#define SCRIVO_OPEN_ALTERED_FIREBIRD(var, ...)                                                     \
    SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);                                                    \
    std::unique_ptr<TCConnexion> var;                                                              \
    try {                                                                                          \
        var = OpenAlteredFirebird(QStringList __VA_ARGS__);                                        \
    } catch (const std::exception &alterError) {                                                   \
        QFAIL(alterError.what());                                                                  \
    }                                                                                              \
    QVERIFY(var);                                                                                  \
    QVERIFY2(var->Connected(), qPrintable(var->LastServerMessage()))
