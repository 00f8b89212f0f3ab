// The Firebird session (see FirebirdSession.h): the client library's calls, its errors,
// BLOB reading; the termination signals it takes over are taken back after each
// attachment (TerminationSignals.h).
#include "FirebirdSession.h"

#include "ProcessEnd.h"
#include "StatementWatchdog.h"
#include "TerminationSignals.h"

#include <QDate>
#include <QDateTime>
#include <QScopeGuard>
#include <QTime>

#include <cmath>
#include <cstring>
#include <ctime>
#include <stdexcept>

#ifdef _WIN32
#include "platform/windows/LibrarySearch.h"
#endif

namespace {

// A Firebird error: the client's message lines, in the connection's character set.
class FirebirdFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void ThrowFirebird(const ISC_STATUS *status)
{
    std::string text;
    char line[1024];
    const ISC_STATUS *cursor = status;
    while (fb_interpret(line, sizeof line, &cursor) > 0) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    throw FirebirdFailure(text.empty() ? std::string("Firebird error") : text);
}

std::string ReadFirebirdBlob(isc_db_handle *database, isc_tr_handle *transaction, ISC_QUAD id)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    if (isc_open_blob2(status, database, transaction, &blob, &id, 0, nullptr))
        ThrowFirebird(status);
    const auto close = qScopeGuard([&blob] {
        ISC_STATUS_ARRAY ignored;
        isc_close_blob(ignored, &blob);
    });
    std::string bytes;
    char segment[16384];
    for (;;) {
        unsigned short length = 0;
        const ISC_STATUS result = isc_get_segment(status, &blob, &length, sizeof segment, segment);
        if (result == 0 || status[1] == isc_segment)
            bytes.append(segment, length);
        else if (status[1] == isc_segstr_eof)
            return bytes;
        else
            ThrowFirebird(status);
    }
}

template <typename T>
T Unaligned(const char *data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// The value of a fetched column (see TCRecordSet::FieldValue).
QVariant ColumnValue(const XSQLVAR &column, isc_db_handle *database, isc_tr_handle *transaction,
                     TCConnectionSettings::TextCodec codec)
{
    if (*column.sqlind < 0)
        return QVariant();
    const char *data = column.sqldata;
    const double divisor = std::pow(10.0, -column.sqlscale);
    switch (column.sqltype & ~1) {
    case SQL_TEXT:
        return DecodeText(std::string(data, size_t(column.sqllen)), codec);
    case SQL_VARYING:
        return DecodeText(std::string(data + 2, size_t(Unaligned<short>(data))), codec);
    case SQL_SHORT:
        return column.sqlscale < 0 ? QVariant(Unaligned<ISC_SHORT>(data) / divisor)
                                   : QVariant::fromValue(qint32(Unaligned<ISC_SHORT>(data)));
    case SQL_LONG:
        return column.sqlscale < 0 ? QVariant(Unaligned<ISC_LONG>(data) / divisor)
                                   : QVariant::fromValue(qint32(Unaligned<ISC_LONG>(data)));
    case SQL_INT64:
        return column.sqlscale < 0 ? QVariant(double(Unaligned<ISC_INT64>(data)) / divisor)
                                   : QVariant::fromValue(qint64(Unaligned<ISC_INT64>(data)));
    case SQL_FLOAT:
        return QVariant(double(Unaligned<float>(data)));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return QVariant(Unaligned<double>(data));
    case SQL_BOOLEAN:
        return QVariant(*data != 0);
    case SQL_TYPE_DATE: {
        const auto date = Unaligned<ISC_DATE>(data);
        std::tm time = {};
        isc_decode_sql_date(&date, &time);
        return QDate(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday);
    }
    case SQL_TYPE_TIME: {
        const auto value = Unaligned<ISC_TIME>(data);
        std::tm time = {};
        isc_decode_sql_time(&value, &time);
        return QTime(time.tm_hour, time.tm_min, time.tm_sec, int(value % 10000) / 10);
    }
    case SQL_TIMESTAMP: {
        const auto value = Unaligned<ISC_TIMESTAMP>(data);
        std::tm time = {};
        isc_decode_timestamp(&value, &time);
        return QDateTime(QDate(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday),
                         QTime(time.tm_hour, time.tm_min, time.tm_sec, int(value.timestamp_time % 10000) / 10));
    }
    case SQL_BLOB: {
        const std::string bytes = ReadFirebirdBlob(database, transaction, Unaligned<ISC_QUAD>(data));
        if (column.sqlsubtype == 1)
            return DecodeText(bytes, codec);
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    }
    case SQL_NULL:
        return QVariant();
    default:
        throw EScrivoError(QStringLiteral("Type de colonne non pris en charge : ")
                           + DecodeText(std::string(column.aliasname, size_t(column.aliasname_length)), codec));
    }
}

// The database parameter block of an attachment: its items, each at most 255 bytes long.
std::string AttachmentParameters(const TCConnectionSettings &settings)
{
    std::string parameters(1, char(isc_dpb_version1));
    const auto text = [&parameters](char item, const std::string &value, const char *name) {
        if (value.size() > 255)
            throw EScrivoError(QStringLiteral("Le paramètre de connexion %1 est trop long (plus de 255 octets).")
                                   .arg(QLatin1String(name)));
        parameters += item;
        parameters += char(value.size());
        parameters += value;
    };
    if (!settings.firebird.user.empty())
        text(isc_dpb_user_name, settings.firebird.user, "Login");
    if (!settings.firebird.password.empty())
        text(isc_dpb_password, settings.firebird.password, "PassWord");
    text(isc_dpb_lc_ctype, settings.firebird.charset, "Charset");
    // A server that does not answer is given up after the connection's bound.
    const int seconds = settings.connectTimeout;
    parameters += char(isc_dpb_connect_timeout);
    parameters += char(4);
    for (int shift = 0; shift < 32; shift += 8)
        parameters += char((seconds >> shift) & 0xff);
    return parameters;
}

// The Windows program reaches fbclient.dll through a delay-loaded import: it starts
// without the Firebird client, and the first call loads it. The client it ships is
// loaded here first, from the program's own folder (else the system folder), so that
// those calls use it and no other fbclient.dll found on the way.
isc_db_handle Attach(const TCConnectionSettings &settings)
{
#ifdef _WIN32
    const std::string reason = platform::win::loadFromProgramFolder(L"fbclient.dll");
    if (!reason.empty())
        throw EScrivoError(QStringLiteral("Le client Firebird (fbclient.dll) est introuvable sur ce poste : "
                                          "installez le client Firebird ou copiez fbclient.dll dans le dossier "
                                          "de Scrivo. Raison donnée par Windows : %1.")
                               .arg(QString::fromStdString(reason)));
#endif
    const std::string parameters = AttachmentParameters(settings);
    ISC_STATUS_ARRAY status;
    isc_db_handle database = 0;
    if (isc_attach_database(status, 0, settings.firebird.service.c_str(), &database, short(parameters.size()),
                            parameters.data()))
        ThrowFirebird(status);
    return database;
}

} // namespace

TCFirebirdSession::TCFirebirdSession(const TCConnectionSettings &settings)
    : FCodec(settings.codec)
    , FDatabase(Attach(settings))
{
    TakeBackTerminationSignals();
    GuardExitAfterAttachment();
    // Past its bound, a statement's call is broken off: the client closes its side of
    // the attachment, and the call returns.
    FWatchdog = std::make_unique<TStatementWatchdog>(settings.statementTimeout, [this] {
        ISC_STATUS_ARRAY ignored;
        fb_cancel_operation(ignored, &FDatabase, fb_cancel_abort);
    });
}

// The watchdog ends first (it may be breaking a call off); an attachment that is broken
// already answers its detach with an error, and is let go.
TCFirebirdSession::~TCFirebirdSession()
{
    FWatchdog.reset();
    ISC_STATUS_ARRAY status;
    if (isc_detach_database(status, &FDatabase))
        qCWarning(lcConnexion) << "Firebird attachment broken: let go without its detach";
}

// Statements run through the client library directly, on the session's attachment: each
// in a read-only, read-committed transaction of its own (it sees what others committed
// before it, and cannot write), with every column type a practice database may hold,
// text BLOBs included.
std::unique_ptr<TCFetchedRecordSet> TCFirebirdSession::Run(const QString &statementText)
{
    const TStatementWatchdog::TWatch watch(*FWatchdog);
    try {
        return RunWatched(statementText);
    } catch (const FirebirdFailure &) {
        if (watch.BrokenOff())
            throw EServerSilent(watch.Seconds());
        throw;
    }
}

std::unique_ptr<TCFetchedRecordSet> TCFirebirdSession::RunWatched(const QString &statementText)
{
    const std::string sql = EncodeText(statementText, FCodec);
    isc_db_handle *database = &FDatabase;
    ISC_STATUS_ARRAY status;
    isc_tr_handle transaction = 0;
    static const char parameters[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed, isc_tpb_rec_version,
                                      isc_tpb_nowait};
    if (isc_start_transaction(status, &transaction, 1, database, short(sizeof parameters), parameters))
        ThrowFirebird(status);
    const auto endTransaction = qScopeGuard([&transaction] {
        ISC_STATUS_ARRAY ignored;
        if (transaction)
            isc_rollback_transaction(ignored, &transaction);
    });
    isc_stmt_handle statement = 0;
    if (isc_dsql_allocate_statement(status, database, &statement))
        ThrowFirebird(status);
    const auto freeStatement = qScopeGuard([&statement] {
        ISC_STATUS_ARRAY ignored;
        isc_dsql_free_statement(ignored, &statement, DSQL_drop);
    });

    std::vector<char> descriptor(XSQLDA_LENGTH(32));
    auto *columns = reinterpret_cast<XSQLDA *>(descriptor.data());
    columns->version = SQLDA_VERSION1;
    columns->sqln = 32;
    if (isc_dsql_prepare(status, &transaction, &statement, 0, sql.c_str(), SQL_DIALECT_V6, columns))
        ThrowFirebird(status);
    if (columns->sqld > columns->sqln) {
        const short count = columns->sqld;
        descriptor.assign(XSQLDA_LENGTH(count), 0);
        columns = reinterpret_cast<XSQLDA *>(descriptor.data());
        columns->version = SQLDA_VERSION1;
        columns->sqln = count;
        if (isc_dsql_describe(status, &statement, SQL_DIALECT_V6, columns))
            ThrowFirebird(status);
    }

    auto recordSet = std::make_unique<TCFetchedRecordSet>();
    const int count = columns->sqld;
    std::vector<std::vector<char>> buffers(static_cast<size_t>(count));
    std::vector<short> indicators(static_cast<size_t>(count));
    QStringList names;
    for (int i = 0; i < count; ++i) {
        XSQLVAR &column = columns->sqlvar[i];
        names << DecodeText(std::string(column.aliasname, size_t(column.aliasname_length)), FCodec);
        const bool varying = (column.sqltype & ~1) == SQL_VARYING;
        buffers[size_t(i)].assign(size_t(column.sqllen) + (varying ? 2 : 0) + 1, 0);
        column.sqldata = buffers[size_t(i)].data();
        column.sqlind = &indicators[size_t(i)];
        column.sqltype |= 1; // always report NULL through the indicator
    }
    recordSet->SetColumns(names);

    if (isc_dsql_execute(status, &transaction, &statement, SQL_DIALECT_V6, nullptr))
        ThrowFirebird(status);
    while (count > 0) {
        const ISC_STATUS fetched = isc_dsql_fetch(status, &statement, SQL_DIALECT_V6, columns);
        if (fetched == 100)
            break;
        if (fetched != 0)
            ThrowFirebird(status);
        std::vector<QVariant> values;
        values.reserve(size_t(count));
        for (int i = 0; i < count; ++i)
            values.push_back(ColumnValue(columns->sqlvar[i], database, &transaction, FCodec));
        recordSet->AppendRow(std::move(values));
    }
    if (isc_commit_transaction(status, &transaction))
        ThrowFirebird(status);
    return recordSet;
}
