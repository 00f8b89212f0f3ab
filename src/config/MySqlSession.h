// The session of a MySQL (or MariaDB) database, over SOCI.
//
// Data flow: connect string (utf8mb4, timeouts) -> SOCI session in auto-commit -> Run:
// the statement's rowset -> each column's value by its SOCI type, text decoded with the
// connection's codec -> TCFetchedRecordSet. Each statement is bounded
// (StatementWatchdog.h). Internal to the config layer.
#pragma once

#include "DatabaseSession.h"

#include <memory>

namespace soci {
class session;
}
class TStatementWatchdog;

/// The French message for a server older than MySQL 4.1, naming `serverVersion` (as the
/// server announces it, "4.0.27-log") and the oldest version supported: the client
/// library reads result sets in the 4.1 format only. Empty for 4.1 and later, MariaDB
/// included, and for a version it cannot read.
QString MySqlServerTooOld(const QString &serverVersion);

class TCMySqlSession final : public TCDatabaseSession {
public:
    /// Connects; throws what SOCI raises, or an EScrivoError for a server too old.
    explicit TCMySqlSession(const TCConnectionSettings &settings);
    ~TCMySqlSession() override;
    TCMySqlSession(const TCMySqlSession &) = delete;
    TCMySqlSession &operator=(const TCMySqlSession &) = delete;

    /// Throws EServerSilent when the server did not answer within the bound.
    std::unique_ptr<TCFetchedRecordSet> Run(const QString &statement) override;

private:
    std::unique_ptr<TCFetchedRecordSet> RunWatched(const QString &statement);

    TCConnectionSettings::TextCodec FCodec;
    std::unique_ptr<soci::session> FSession;
    std::unique_ptr<TStatementWatchdog> FWatchdog;
};
