#include "CConnexion.h"

#include "CCnxParam.h"
#include "support/NestedLoop.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QCoreApplication>
#include <QDate>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QPointer>
#include <QScopeGuard>
#include <QThread>
#include <QTime>

#include <soci/firebird/soci-firebird.h>
#include <soci/mysql/soci-mysql.h>
#include <soci/soci.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <vector>

#ifndef Q_OS_WIN
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

TCConnexion *gConnexion = nullptr;

Q_LOGGING_CATEGORY(lcConnexion, "scrivo.db", QtWarningMsg)

namespace {

const QString NewLine = QStringLiteral("\r\n");

// Windows-1252 characters of the bytes 0x80 to 0x9F; the five unassigned bytes stand for
// the C1 controls of the same value, as Windows maps them.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromWindows1252(const std::string &bytes)
{
    QString text(qsizetype(bytes.size()), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte <= 0x9F) ? QChar(Windows1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

std::string ToWindows1252(const QString &text)
{
    std::string bytes;
    bytes.reserve(size_t(text.size()));
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            bytes += char(code);
            continue;
        }
        char byte = '?';
        for (size_t i = 0; i < Windows1252High.size(); ++i) {
            if (Windows1252High[i] == code) {
                byte = char(0x80 + i);
                break;
            }
        }
        bytes += byte;
    }
    return bytes;
}

std::string EncodeText(const QString &text, TCConnectionSettings::TextCodec codec)
{
    return codec == TCConnectionSettings::TextCodec::Utf8 ? text.toStdString() : ToWindows1252(text);
}

// Server messages as the program shows them: lines end with "\r\n", none at the end.
QString MessageLines(QString text)
{
    text.replace(NewLine, QStringLiteral("\n"));
    while (text.endsWith(u'\n'))
        text.chop(1);
    text.replace(QStringLiteral("\n"), NewLine);
    return text;
}

// Restores the cursor that was on screen when a wait cursor has been shown.
class WaitCursor {
public:
    WaitCursor() = default;
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    ~WaitCursor()
    {
        if (FShown)
            QGuiApplication::restoreOverrideCursor();
    }
    void Show()
    {
        if (!FShown && qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            FShown = true;
        }
    }

private:
    bool FShown = false;
};

#ifndef Q_OS_WIN
// The Firebird client installs its own SIGINT and SIGTERM handlers when a database is
// attached: they drop every attachment and let the process run on. Scrivo takes the
// two signals back after each attachment: the handler writes to a pipe, and the event
// loop, woken by the pipe, quits the application, which then frees its objects and
// detaches cleanly. Without an application object the signals end the process as usual.
int gSignalPipe[2] = {-1, -1};

extern "C" void WriteSignalToPipe(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = write(gSignalPipe[1], &byte, 1);
    errno = savedErrno;
}

void TakeBackTerminationSignals()
{
    struct sigaction action = {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = SIG_DFL;
    if (QCoreApplication *application = QCoreApplication::instance()) {
        static QPointer<QSocketNotifier> notifier;
        if (gSignalPipe[0] < 0 && pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            gSignalPipe[0] = gSignalPipe[1] = -1;
        if (gSignalPipe[0] >= 0) {
            if (!notifier) {
                notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, application);
                QObject::connect(notifier, &QSocketNotifier::activated, application, [] {
                    char buffer[16];
                    while (read(gSignalPipe[0], buffer, sizeof buffer) > 0) {
                    }
                    qCInfo(lcConnexion) << "termination signal: quitting";
                    QCoreApplication::quit();
                });
            }
            action.sa_handler = WriteSignalToPipe;
            action.sa_flags = SA_RESTART;
        }
    }
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}
#else
void TakeBackTerminationSignals()
{
}
#endif

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

// The attachment of a Firebird session. The backend's type information is not exported
// by its library, so the sanitizer's type check cannot see it.
__attribute__((no_sanitize("vptr"))) isc_db_handle *FirebirdAttachment(soci::session &session)
{
    return &static_cast<soci::firebird_session_backend *>(session.get_backend())->dbhp_;
}

template <typename T>
T Unaligned(const char *data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

} // namespace

// A statement's rows, fetched whole when the statement runs: read-only, forward-only.
class TCSociRecordSet final : public TCRecordSet {
public:
    void SetColumns(const QStringList &names)
    {
        // Looked up without regard to case; of two equal names the first wins.
        for (qsizetype i = 0; i < names.size(); ++i)
            if (!FIndex.contains(names.at(i).toUpper()))
                FIndex.insert(names.at(i).toUpper(), int(i));
    }
    void AppendRow(std::vector<QVariant> values) { FRows.push_back(std::move(values)); }
    bool IsEmpty() const { return FRows.empty(); }
    /// The value of a column of the current row by its position.
    QVariant ValueAt(size_t column) const { return Eof() ? QVariant() : FRows[FRow].at(column); }

    bool Eof() const override { return FRow >= FRows.size(); }
    void Next() override
    {
        if (!Eof())
            ++FRow;
    }
    bool HasField(const QString &name) const override { return FIndex.contains(name.toUpper()); }
    QVariant FieldValue(const QString &name) const override
    {
        const auto it = FIndex.constFind(name.toUpper());
        if (it == FIndex.constEnd())
            throw EScrivoError(QStringLiteral("Le champ ") + name + QStringLiteral(" est absent du résultat de la requête."));
        if (Eof())
            throw EScrivoError(QStringLiteral("Lecture du champ ") + name + QStringLiteral(" après la dernière ligne."));
        return FRows[FRow][size_t(it.value())];
    }

private:
    QHash<QString, int> FIndex;
    std::vector<std::vector<QVariant>> FRows;
    size_t FRow = 0;
};

struct TCConnexion::Private {
    using Backend = TCConnectionSettings::Backend;
    using TextCodec = TCConnectionSettings::TextCodec;

    TCConnectionSettings settings;
    std::unique_ptr<soci::session> session;
    QString lastServerMessage;
    QString lastStatement;

    QString Decode(const std::string &bytes) const
    {
        return settings.codec == TextCodec::Utf8 ? QString::fromUtf8(bytes.data(), qsizetype(bytes.size()))
                                                 : FromWindows1252(bytes);
    }
    std::string Encode(const QString &text) const { return EncodeText(text, settings.codec); }
    QString ErrorText(const std::exception &error) const
    {
        // Server messages come in the connection's character set.
        if (const auto *own = dynamic_cast<const EScrivoError *>(&error))
            return MessageLines(own->Message());
        if (const auto *server = dynamic_cast<const soci::soci_error *>(&error))
            return MessageLines(Decode(server->get_error_message()));
        return MessageLines(Decode(error.what()));
    }

    void Open()
    {
        if (session)
            return;
        if (settings.backend == Backend::None)
            throw EScrivoError(settings.problem);
        const soci::backend_factory &factory =
            settings.backend == Backend::Firebird ? *soci::factory_firebird() : *soci::factory_mysql();
        session = std::make_unique<soci::session>(factory, settings.connectString);
        if (settings.backend == Backend::Firebird) {
            session->commit(); // statements use transactions of their own (RunOnFirebird)
            TakeBackTerminationSignals();
        }
    }

    // Frees the session. A Firebird session whose attachment is broken would raise from
    // its destructor (which ends the process): such a session is set aside instead.
    void Close() noexcept
    {
        if (!session)
            return;
        if (settings.backend == Backend::Firebird) {
            bool healthy = true;
            try {
                session->commit();
                healthy = session->get_backend()->is_connected();
            } catch (...) {
                healthy = false;
            }
            if (!healthy) {
                // Never destroyed, not even at exit.
                static auto *brokenSessions = new std::vector<std::unique_ptr<soci::session>>;
                qCWarning(lcConnexion) << "Firebird attachment broken: kept aside instead of detached";
                brokenSessions->push_back(std::move(session));
                return;
            }
        }
        session.reset();
    }

    // Runs a statement and fetches all its rows.
    std::unique_ptr<TCSociRecordSet> Run(const QString &statement)
    {
        Open();
        if (settings.backend == Backend::Firebird)
            return RunOnFirebird(Encode(statement));
        auto recordSet = std::make_unique<TCSociRecordSet>();
        {
            const soci::rowset<soci::row> rows = (session->prepare << Encode(statement));
            bool first = true;
            for (const soci::row &row : rows) {
                if (first) {
                    QStringList names;
                    for (size_t i = 0; i < row.size(); ++i)
                        names << Decode(row.get_properties(i).get_name());
                    recordSet->SetColumns(names);
                    first = false;
                }
                std::vector<QVariant> values;
                values.reserve(row.size());
                for (size_t i = 0; i < row.size(); ++i)
                    values.push_back(Value(row, i));
                recordSet->AppendRow(std::move(values));
            }
        }
        return recordSet;
    }

    // Firebird statements run through the client library directly, on the session's
    // attachment: each in a read-only, read-committed transaction of its own (it sees
    // what others committed before it, and cannot write), with every column type a
    // practice database may hold, text BLOBs included.
    std::unique_ptr<TCSociRecordSet> RunOnFirebird(const std::string &sql)
    {
        isc_db_handle *database = FirebirdAttachment(*session);
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

        auto recordSet = std::make_unique<TCSociRecordSet>();
        const int count = columns->sqld;
        std::vector<std::vector<char>> buffers(static_cast<size_t>(count));
        std::vector<short> indicators(static_cast<size_t>(count));
        QStringList names;
        for (int i = 0; i < count; ++i) {
            XSQLVAR &column = columns->sqlvar[i];
            names << Decode(std::string(column.aliasname, size_t(column.aliasname_length)));
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
                values.push_back(FirebirdValue(columns->sqlvar[i], database, &transaction));
            recordSet->AppendRow(std::move(values));
        }
        if (isc_commit_transaction(status, &transaction))
            ThrowFirebird(status);
        return recordSet;
    }

    QVariant FirebirdValue(const XSQLVAR &column, isc_db_handle *database, isc_tr_handle *transaction) const
    {
        if (*column.sqlind < 0)
            return QVariant();
        const char *data = column.sqldata;
        const double divisor = std::pow(10.0, -column.sqlscale);
        switch (column.sqltype & ~1) {
        case SQL_TEXT:
            return Decode(std::string(data, size_t(column.sqllen)));
        case SQL_VARYING:
            return Decode(std::string(data + 2, size_t(Unaligned<short>(data))));
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
                return Decode(bytes);
            return QByteArray(bytes.data(), qsizetype(bytes.size()));
        }
        case SQL_NULL:
            return QVariant();
        default:
            throw EScrivoError(QStringLiteral("Type de colonne non pris en charge : ")
                               + Decode(std::string(column.aliasname, size_t(column.aliasname_length))));
        }
    }

    QVariant Value(const soci::row &row, size_t i) const
    {
        if (row.get_indicator(i) == soci::i_null)
            return QVariant();
        switch (row.get_properties(i).get_data_type()) {
        case soci::dt_integer:
            return QVariant::fromValue(qint32(row.get<int>(i)));
        case soci::dt_long_long:
            return QVariant::fromValue(qint64(row.get<long long>(i)));
        case soci::dt_unsigned_long_long: {
            const unsigned long long value = row.get<unsigned long long>(i);
            if (value <= static_cast<unsigned long long>(LLONG_MAX))
                return QVariant::fromValue(qint64(value));
            return QVariant(double(value));
        }
        case soci::dt_double:
            return QVariant(row.get<double>(i));
        case soci::dt_date: {
            const std::tm time = row.get<std::tm>(i);
            return QDateTime(QDate(time.tm_year + 1900, time.tm_mon + 1, time.tm_mday),
                             QTime(time.tm_hour, time.tm_min, time.tm_sec));
        }
        case soci::dt_string:
        case soci::dt_xml:
        case soci::dt_blob:
            break;
        }
        return Decode(row.get<std::string>(i));
    }
};

TCConnexion::TCConnexion(std::unique_ptr<TCCnxParam> params)
    : FParams(std::move(params))
    , d(std::make_unique<Private>())
{
}

TCConnexion::~TCConnexion()
{
    d->Close();
}

namespace {

// The characters that end an unquoted value of the Firebird connect string.
bool HasBlank(const std::string &value)
{
    return value.find_first_of(" \t\n\v\f\r") != std::string::npos;
}

// A value of the Firebird connect string. The client library reads a value that starts
// with a double quote up to the next one, with no escape, and any other value up to the
// next blank, double quotes included. So a value is quoted only when it holds a blank or
// is empty; one that starts with a double quote, or holds both a blank and a double
// quote, cannot be carried: the message then names the parameter.
std::string FirebirdValue(const std::string &value, const QString &parameter)
{
    const QString refused = QStringLiteral("Le paramètre de connexion ") + parameter + u' ';
    const QString reason = QStringLiteral(", ce qu'une connexion Firebird ne peut pas transmettre.");
    if (value.starts_with('"'))
        throw EScrivoError(refused + QStringLiteral("commence par des guillemets (\")") + reason);
    if (HasBlank(value) && value.find('"') != std::string::npos)
        throw EScrivoError(refused + QStringLiteral("contient à la fois des blancs et des guillemets (\")") + reason);
    if (value.empty() || HasBlank(value))
        return '"' + value + '"';
    return value;
}

// A value of the MySQL connect string: quoted, with quotes and backslashes escaped.
std::string MySqlValue(const std::string &value)
{
    std::string quoted = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '\'';
}

} // namespace

TCConnectionSettings BuildConnectionSettings(const TCConnectionValues &values)
{
    using Backend = TCConnectionSettings::Backend;
    using TextCodec = TCConnectionSettings::TextCodec;
    TCConnectionSettings settings;
    settings.backend = values.ServerKind == QLatin1String("firebird") ? Backend::Firebird
        : values.ServerKind == QLatin1String("mysql")                ? Backend::MySql
                                                                     : Backend::None;
    // An explicit protocol ("firebird-2.0", "mysql-4.0"...) names the client to use.
    const QString protocol = values.Protocol.toLower();
    if (!protocol.isEmpty()) {
        if (protocol.contains(QLatin1String("firebird")) || protocol.contains(QLatin1String("interbase")))
            settings.backend = Backend::Firebird;
        else if (protocol.contains(QLatin1String("mysql")) || protocol.contains(QLatin1String("mariadb")))
            settings.backend = Backend::MySql;
        else
            settings.backend = Backend::None;
    }
    // A port that is not an integer (IsInteger) gives the default one.
    const int port = StrToIntDef(values.Port, settings.backend == Backend::MySql ? 3306 : 3050);

    try {
        if (settings.backend == Backend::Firebird) {
            const QString charset =
                values.Charset.trimmed().isEmpty() ? QStringLiteral("NONE") : values.Charset.trimmed().toUpper();
            settings.codec = (charset == QLatin1String("UTF8") || charset == QLatin1String("UNICODE_FSS"))
                ? TextCodec::Utf8
                : TextCodec::Windows1252;
            // No host: the database file is opened by the embedded engine.
            const QString host = values.Host.trimmed();
            const QString service =
                host.isEmpty() ? values.DataBaseName : host + u'/' + QString::number(port) + u':' + values.DataBaseName;
            std::string text = "service="
                + FirebirdValue(EncodeText(service, settings.codec),
                                host.isEmpty() ? QStringLiteral("DataBaseName") : QStringLiteral("Host ou DataBaseName"));
            if (!values.Login.isEmpty())
                text += " user=" + FirebirdValue(EncodeText(values.Login, settings.codec), QStringLiteral("Login"));
            if (!values.PassWord.isEmpty())
                text += " password=" + FirebirdValue(EncodeText(values.PassWord, settings.codec), QStringLiteral("PassWord"));
            text += " charset=" + FirebirdValue(charset.toStdString(), QStringLiteral("Charset"));
            settings.connectString = text;
        } else if (settings.backend == Backend::MySql) {
            settings.codec = TextCodec::Utf8;
            std::string text = "port=" + std::to_string(port) + " charset=utf8mb4";
            if (!values.Host.isEmpty())
                text += " host=" + MySqlValue(values.Host.toStdString());
            text += " db=" + MySqlValue(values.DataBaseName.toStdString());
            text += " user=" + MySqlValue(values.Login.toStdString());
            text += " password=" + MySqlValue(values.PassWord.toStdString());
            text += " connect_timeout=" + std::to_string(qMax(1, values.ConnectTimeout));
            text += " read_timeout=" + std::to_string(qMax(1, values.ReadTimeout));
            text += " write_timeout=" + std::to_string(qMax(1, values.ReadTimeout));
            settings.connectString = text;
        } else {
            settings.problem = values.Protocol.isEmpty()
                ? QStringLiteral("Type de base de données inconnu : ") + values.DataBaseType
                : QStringLiteral("Protocole de connexion inconnu : ") + values.Protocol;
        }
    } catch (const EScrivoError &error) {
        TCConnectionSettings refused;
        refused.problem = error.Message();
        return refused;
    }
    return settings;
}

void TCConnexion::SetupConnection()
{
    TCConnectionValues values;
    values.ServerKind = FParams->GetServerKind();
    values.DataBaseType = FParams->DataBaseType;
    values.Protocol = FParams->Protocol;
    values.Host = FParams->Host;
    values.Port = FParams->Port;
    values.DataBaseName = FParams->DataBaseName;
    values.Login = FParams->Login;
    values.PassWord = FParams->PassWord;
    values.Charset = FParams->Charset;
    values.ConnectTimeout = ConnectTimeout;
    values.ReadTimeout = ReadTimeout;
    d->Close();
    d->settings = BuildConnectionSettings(values);
}

bool TCConnexion::Connect(bool askRetry)
{
    for (;;) {
        try {
            d->Open();
        } catch (const std::exception &error) {
            d->session.reset();
            d->lastServerMessage = d->ErrorText(error);
            qCInfo(lcConnexion) << "connection failed:" << d->lastServerMessage;
        }
        if (Connected())
            return true;
        if (!askRetry)
            break;
        const QString question =
            QStringLiteral("Impossible de se connecter à la base de donnée.\r\n"
                           "Vérifiez que le serveur et votre réseau sont bien en service\r\n"
                           "ou vérifiez vos paramètres de connexions.\r\n\r\n"
                           "Dernier message du serveur : \r\n")
            + d->lastServerMessage + NewLine + NewLine + QStringLiteral("Voulez-vous retentez la connexion ?");
        if (MsgBox(nullptr, question, QStringLiteral("*APP*"), mfYesNo | mfDefault1 | mfWarning) != idYes)
            break;
    }
    return Connected();
}

bool TCConnexion::Connected() const
{
    return d->session != nullptr;
}

bool TCConnexion::TableExist(const QString &tableName)
{
    if (!Connected())
        StringManager->RaiseWithContext(QStringLiteral("Pas de connexion en cours"), QStringLiteral("TCConnexion.TableExist"));
    // Firebird lists user tables and views (names blank-padded); MySQL its tables.
    const QString statement = d->settings.backend == Private::Backend::Firebird
        ? QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0")
        : QStringLiteral("SHOW TABLES");
    std::unique_ptr<TCSociRecordSet> tables;
    try {
        tables = d->Run(statement);
    } catch (const EScrivoError &) {
        throw;
    } catch (const std::exception &error) {
        throw EScrivoError(d->ErrorText(error));
    }
    const QString wanted = tableName.trimmed().toUpper();
    for (; !tables->Eof(); tables->Next()) {
        if (NullToStr(tables->ValueAt(0)).trimmed().toUpper() == wanted)
            return true;
    }
    return false;
}

bool TCConnexion::OpenRecordSet(const QString &sql, std::unique_ptr<TCRecordSet> &recordSet, int rowLimit)
{
    recordSet.reset();
    WaitCursor cursor;

    QString statement = sql;
    if (rowLimit > 0) {
        if (FParams->GetServerKind() != QLatin1String("firebird")) {
            statement = sql + QStringLiteral(" LIMIT ") + QString::number(rowLimit);
        } else {
            const qsizetype select = sql.indexOf(QLatin1String("SELECT"), 0, Qt::CaseInsensitive);
            statement = QStringLiteral("SELECT ") + FParams->GetRowLimitKeyword() + u' ' + QString::number(rowLimit)
                + (select < 0 ? QString() : sql.mid(select + 6));
        }
    }
    d->lastStatement = statement;

    try {
        int failures = 0;
        QString firstMessage;
        QString secondMessage;
        while (failures < 2) {
            try {
                std::unique_ptr<TCSociRecordSet> result = d->Run(statement);
                if (result->IsEmpty())
                    return false;
                recordSet = std::move(result);
                return true;
            } catch (const std::exception &error) {
                const QString text = d->ErrorText(error);
                qCInfo(lcConnexion) << "statement failed:" << statement << text;
                if (failures == 0) {
                    cursor.Show();
                    const TNestedLoop nestedLoop; // a loader, maybe a picker's, is below
                    QCoreApplication::processEvents();
                    firstMessage = text;
                } else {
                    secondMessage = text;
                }
                ++failures;
                QThread::msleep(500);
                // Close and reopen; a server that is still away leaves the connection
                // closed, and the next statement opens it again.
                d->Close();
                try {
                    d->Open();
                } catch (const std::exception &reopen) {
                    d->session.reset();
                    qCInfo(lcConnexion) << "reconnection failed:" << d->ErrorText(reopen);
                }
            }
        }
        ConnectionLost = true;
        throw EScrivoError(firstMessage + NewLine + secondMessage);
    } catch (const EScrivoError &error) {
        MsgBox(nullptr, QStringLiteral("Erreur interne OpenRecordSet  : \r\n") + error.Message(), QStringLiteral("*APP*"), mfOk);
        throw;
    } catch (const std::exception &error) {
        const QString text = d->ErrorText(error);
        MsgBox(nullptr, QStringLiteral("Erreur interne OpenRecordSet  : \r\n") + text, QStringLiteral("*APP*"), mfOk);
        throw EScrivoError(text);
    }
}

bool TCConnexion::StartTransaction(const QString &callerName)
{
    Q_UNUSED(callerName);
    return true;
}

void TCConnexion::Commit(bool started)
{
    // Every statement commits on its own (auto-commit): nothing is left to commit.
    Q_UNUSED(started);
}

void TCConnexion::Rollback(bool started)
{
    Q_UNUSED(started);
}

QString TCConnexion::LastStatement() const
{
    return d->lastStatement;
}

QString TCConnexion::LastServerMessage() const
{
    return d->lastServerMessage;
}
