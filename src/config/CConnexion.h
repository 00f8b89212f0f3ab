// The single connection to the practice database (Firebird or MySQL), read only: it
// turns the connection parameters into a connection, connects with a retry question,
// tells whether a table exists, and runs SELECT statements into record sets.
//
// Data flow: TCCnxParam -> SetupConnection (BuildConnectionSettings: backend, connect
// string, text decoding) -> Connect (SOCI session: Firebird, embedded when no host is
// given, or MySQL) -> OpenRecordSet fetches every row of a statement into a TCRecordSet
// that the caller walks and frees. Each statement sees the latest committed data: Firebird statements
// each run in a read-only, read-committed transaction of their own (through the client
// library, on the session's attachment, so that BLOB columns can be read too); MySQL
// runs in auto-commit. Text arrives as bytes in the connection's character set and is
// decoded here: Firebird WIN1252, ISO8859_1 and NONE as Windows-1252, UTF8 as UTF-8;
// MySQL connects as utf8mb4. Once a Firebird database is attached, SIGINT and SIGTERM
// (which the Firebird client would otherwise take over) end the application through its
// event loop.
#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <string>

class TCCnxParam;

/// The connection parameters a connection is made from (fields of TCCnxParam).
struct TCConnectionValues {
    QString ServerKind; ///< "firebird", "mysql" or empty, as TCCnxParam::GetServerKind gives it
    QString DataBaseType;
    QString Protocol;
    QString Host;
    QString Port;
    QString DataBaseName;
    QString Login;
    QString PassWord;
    QString Charset;
    int ConnectTimeout = 10; ///< seconds
    int ReadTimeout = 30;    ///< seconds: the bound of each statement
};

/// How a connection is made: the client library, the decoding of its text and its
/// connect string. Backend::None, with the reason in Problem, when none can be made.
struct TCConnectionSettings {
    enum class Backend { None, Firebird, MySql };
    enum class TextCodec { Windows1252, Utf8 };

    Backend backend = Backend::None;
    TextCodec codec = TextCodec::Windows1252;
    std::string connectString;
    QString problem;
    /// Firebird: the attachment's parts, in the connection's character set.
    struct {
        std::string service, user, password, charset;
    } firebird;
    int connectTimeout = 10;   ///< seconds
    int statementTimeout = 30; ///< seconds
};

/// The connection settings for `values`; reads nothing and connects nowhere.
TCConnectionSettings BuildConnectionSettings(const TCConnectionValues &values);

/// A read-only, forward-only result of one statement, positioned on a row. Columns are
/// found by name without regard to case; text is decoded from the connection's
/// character set. The caller owns it.
class TCRecordSet {
public:
    virtual ~TCRecordSet() = default;
    /// True once the last row has been passed.
    virtual bool Eof() const = 0;
    virtual void Next() = 0;
    virtual bool HasField(const QString &name) const = 0;
    /// The value of a column of the current row: an invalid (null) QVariant for NULL,
    /// else a qint32 (qint64 for 64-bit integer columns), a double (floating and scaled
    /// numeric columns), a text, a date or time, a boolean, or bytes (binary BLOB).
    /// CHAR values keep the blanks the database pads them with. Throws EScrivoError for
    /// an unknown column, or after the last row.
    virtual QVariant FieldValue(const QString &name) const = 0;
};

class TCConnexion {
public:
    /// Takes the connection parameters (owned).
    explicit TCConnexion(std::unique_ptr<TCCnxParam> params);
    ~TCConnexion();
    TCConnexion(const TCConnexion &) = delete;
    TCConnexion &operator=(const TCConnexion &) = delete;

    TCCnxParam *Params() const { return FParams.get(); }
    bool AutoCommitMode = true;
    bool ConnectionLost = false;

    /// Copies the parameters into the connection settings.
    void SetupConnection();
    /// Connects; with `askRetry`, asks whether to try again after each failure.
    bool Connect(bool askRetry);
    /// Detaches from the database, if attached.
    void Disconnect() noexcept;
    bool Connected() const;
    /// Whether a table of that name exists (without regard to case). Throws when not connected.
    bool TableExist(const QString &tableName);
    /// Runs `sql` (with at most `rowLimit` rows when above 0). True with `recordSet` on
    /// its first row; false, and no record set, when no row comes back. Throws
    /// EScrivoError after a second failure (ConnectionLost is then set).
    bool OpenRecordSet(const QString &sql, std::unique_ptr<TCRecordSet> &recordSet, int rowLimit = 0);
    bool StartTransaction(const QString &callerName);
    void Commit(bool started);
    void Rollback(bool started);

    /// The statement OpenRecordSet last ran, row limit applied.
    QString LastStatement() const;
    /// The message of the last failed connection attempt.
    QString LastServerMessage() const;

    /// MySQL timeouts in seconds, applied by SetupConnection: a server that stops
    /// answering fails the connection or the statement instead of freezing the window.
    int ConnectTimeout = 10; ///< seconds: the bound of an attachment
    int ReadTimeout = 30;    ///< seconds: the bound of each statement

private:
    struct Private;
    std::unique_ptr<TCCnxParam> FParams;
    std::unique_ptr<Private> d;
};

/// The process-wide connection, created by the program entry (and by tests).
extern TCConnexion *gConnexion;
