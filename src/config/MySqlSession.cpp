// The MySQL session (see MySqlSession.h): SOCI's rowsets and column types.
#ifdef _WIN32
#include <winsock2.h> // before windows.h, which the client library's headers include
#endif

#include "MySqlSession.h"

#include "MySqlClientPlugins.h"
#include "StatementWatchdog.h"

#include "support/StrMan.h"

#include <QDate>
#include <QRegularExpression>
#include <QDateTime>
#include <QTime>

#include <soci/mysql/soci-mysql.h>
#include <soci/soci.h>

#include <climits>
#include <ctime>

#ifdef _WIN32
constexpr int ShutBoth = SD_BOTH;
#else
#include <sys/socket.h>
constexpr int ShutBoth = SHUT_RDWR;
#endif

namespace {

// The value of a column of a fetched row (see TCRecordSet::FieldValue).
QVariant ColumnValue(const soci::row &row, size_t i, TCConnectionSettings::TextCodec codec)
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
    return DecodeText(row.get<std::string>(i), codec);
}

} // namespace

QString MySqlServerTooOld(const QString &serverVersion)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\.(\\d+)"));
    const QRegularExpressionMatch match = pattern.match(serverVersion);
    if (!match.hasMatch())
        return QString();
    const int major = match.captured(1).toInt();
    const int minor = match.captured(2).toInt();
    if (major > 4 || (major == 4 && minor >= 1))
        return QString();
    return QStringLiteral("Le serveur MySQL de ce cabinet est en version ") + serverVersion.trimmed()
           + QStringLiteral(", trop ancienne : la version la plus ancienne que ce poste sait lire est la 4.1.\r\n"
                            "Voyez votre administrateur pour mettre à jour le serveur.");
}

// The client library's connection under a SOCI session. The backend's type information
// is not exported by SOCI's library: the sanitizer's type check must not look for it.
namespace {
__attribute__((no_sanitize("vptr"))) MYSQL *MySqlConnection(soci::session &session)
{
    auto *backend = static_cast<soci::mysql_session_backend *>(session.get_backend());
    return backend ? backend->conn_ : nullptr;
}
} // namespace

namespace {
std::unique_ptr<soci::session> OpenMySqlSession(const std::string &connectString)
{
    SecureMySqlClientPlugins();
    return std::make_unique<soci::session>(*soci::factory_mysql(), connectString);
}
} // namespace

TCMySqlSession::TCMySqlSession(const TCConnectionSettings &settings)
    : FCodec(settings.codec)
    , FSession(OpenMySqlSession(settings.connectString))
{
    // The server announces its version when it accepts the login; an older one than the
    // client library can read would answer every query with "Unknown MySQL error".
    MYSQL *connection = MySqlConnection(*FSession);
    const char *version = connection ? mysql_get_server_info(connection) : nullptr;
    if (const QString tooOld = MySqlServerTooOld(QString::fromUtf8(version ? version : "")); !tooOld.isEmpty())
        throw EScrivoError(tooOld);
    // Past its bound, a statement's read is broken off: the socket is shut, and the
    // client library's call returns (its own read timeout applies to each read alone).
    FWatchdog = std::make_unique<TStatementWatchdog>(settings.statementTimeout, [connection] {
        if (connection)
            shutdown(mysql_get_socket(connection), ShutBoth);
    });
}

// The watchdog ends first: it may be shutting the socket.
TCMySqlSession::~TCMySqlSession()
{
    FWatchdog.reset();
}

std::unique_ptr<TCFetchedRecordSet> TCMySqlSession::Run(const QString &statement)
{
    const TStatementWatchdog::TWatch watch(*FWatchdog);
    try {
        return RunWatched(statement);
    } catch (const std::exception &) {
        if (watch.BrokenOff())
            throw EServerSilent(watch.Seconds());
        throw;
    }
}

std::unique_ptr<TCFetchedRecordSet> TCMySqlSession::RunWatched(const QString &statement)
{
    auto recordSet = std::make_unique<TCFetchedRecordSet>();
    {
        const soci::rowset<soci::row> rows = (FSession->prepare << EncodeText(statement, FCodec));
        bool first = true;
        for (const soci::row &row : rows) {
            if (first) {
                QStringList names;
                for (size_t i = 0; i < row.size(); ++i)
                    names << DecodeText(row.get_properties(i).get_name(), FCodec);
                recordSet->SetColumns(names);
                first = false;
            }
            std::vector<QVariant> values;
            values.reserve(row.size());
            for (size_t i = 0; i < row.size(); ++i)
                values.push_back(ColumnValue(row, i, FCodec));
            recordSet->AppendRow(std::move(values));
        }
    }
    return recordSet;
}
