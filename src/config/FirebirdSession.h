// The session of a Firebird database: attached and run through the client library
// (ibase.h) itself.
//
// Data flow: the attachment's parts (service, user, password, character set, the
// connection's bound) -> attachment -> Run: a read-only, read-committed transaction of
// the statement's own -> prepare, describe, fetch -> each column's value, BLOBs read
// segment by segment, text decoded with the connection's codec -> TCFetchedRecordSet.
// Each statement is bounded (StatementWatchdog.h). Attaching takes SIGINT and SIGTERM
// back from the client library. Internal to the config layer.
#pragma once

#include "DatabaseSession.h"

#include <ibase.h>

#include <memory>

class TStatementWatchdog;

class TCFirebirdSession final : public TCDatabaseSession {
public:
    /// Attaches to the database; throws what the client library raises.
    explicit TCFirebirdSession(const TCConnectionSettings &settings);
    /// Detaches (a broken attachment is let go).
    ~TCFirebirdSession() override;
    TCFirebirdSession(const TCFirebirdSession &) = delete;
    TCFirebirdSession &operator=(const TCFirebirdSession &) = delete;

    /// Throws EServerSilent when the server did not answer within the bound.
    std::unique_ptr<TCFetchedRecordSet> Run(const QString &statement) override;

private:
    std::unique_ptr<TCFetchedRecordSet> RunWatched(const QString &statement);

    TCConnectionSettings::TextCodec FCodec;
    isc_db_handle FDatabase = 0;
    std::unique_ptr<TStatementWatchdog> FWatchdog;
};
