// The session of a Firebird database: attached through SOCI, its statements run through
// the client library (ibase.h) on that attachment.
//
// Data flow: connect string -> SOCI attachment (whose own transaction is committed at
// once) -> Run: a read-only, read-committed transaction of the statement's own ->
// prepare, describe, fetch -> each column's value, BLOBs read segment by segment, text
// decoded with the connection's codec -> TCFetchedRecordSet. Attaching takes SIGINT and
// SIGTERM back from the client library. Internal to the config layer.
#pragma once

#include "DatabaseSession.h"

namespace soci {
class session;
}

class TCFirebirdSession final : public TCDatabaseSession {
public:
    /// Attaches to the database; throws what the client library raises.
    TCFirebirdSession(const std::string &connectString, TCConnectionSettings::TextCodec codec);
    /// Detaches, unless the attachment is broken (see FirebirdSession.cpp).
    ~TCFirebirdSession() override;
    TCFirebirdSession(const TCFirebirdSession &) = delete;
    TCFirebirdSession &operator=(const TCFirebirdSession &) = delete;

    std::unique_ptr<TCFetchedRecordSet> Run(const QString &statement) override;

private:
    TCConnectionSettings::TextCodec FCodec;
    std::unique_ptr<soci::session> FSession;
};
