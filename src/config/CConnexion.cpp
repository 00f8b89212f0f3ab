// The connection's common logic (see CConnexion.h): setup from the parameters, the
// connect string and its value quoting, connecting with a retry question, the table
// list, statements with their retry, and the messages shown on failures.
//
// Data flow: TCCnxParam -> BuildConnectionSettings -> Private::Open makes the session of
// the engine the settings name (FirebirdSession.cpp, MySqlSession.cpp) -> Private::Run
// hands it each statement -> TCFetchedRecordSet. An engine's error comes back here as an
// exception, and becomes a message in the connection's character set (ErrorText).
#include "CConnexion.h"

#include "CCnxParam.h"
#include "DatabaseSession.h"
#include "FirebirdSession.h"
#include "MySqlSession.h"
#include "StatementWatchdog.h"
#include "support/NestedLoop.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QThread>

#include <soci/soci.h>

#include <stdexcept>

TCConnexion *gConnexion = nullptr;

Q_LOGGING_CATEGORY(lcConnexion, "scrivo.db", QtWarningMsg)

namespace {

const QString NewLine = QStringLiteral("\r\n");

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

} // namespace

struct TCConnexion::Private {
    using Backend = TCConnectionSettings::Backend;

    TCConnectionSettings settings;
    std::unique_ptr<TCDatabaseSession> session;
    QString lastServerMessage;
    QString lastStatement;

    QString password; // never shown

    QString ErrorText(const std::exception &error) const
    {
        // Server messages come in the connection's character set.
        if (const auto *own = dynamic_cast<const EScrivoError *>(&error))
            return Redacted(MessageLines(own->Message()));
        if (const auto *server = dynamic_cast<const soci::soci_error *>(&error))
            return Redacted(MessageLines(DecodeText(server->get_error_message(), settings.codec)));
        return Redacted(MessageLines(DecodeText(error.what(), settings.codec)));
    }

    // A client's error may quote the connect string: its password shows as stars.
    QString Redacted(QString text) const
    {
        static const QRegularExpression assigned(QStringLiteral("(password\\s*=\\s*)(\"[^\"]*\"|'(?:[^'\\\\]|\\\\.)*'|\\S+)"),
                                                 QRegularExpression::CaseInsensitiveOption);
        text.replace(assigned, QStringLiteral("\\1********"));
        if (password.size() >= 4) // a shorter one would star ordinary words out
            text.replace(password, QStringLiteral("********"));
        return text;
    }

    // Opens the session of the settings' engine; when that fails, the session stays
    // closed and the next call tries again.
    void Open()
    {
        if (session)
            return;
        if (settings.backend == Backend::None)
            throw EScrivoError(settings.problem);
        if (settings.backend == Backend::Firebird)
            session = std::make_unique<TCFirebirdSession>(settings);
        else
            session = std::make_unique<TCMySqlSession>(settings);
    }

    // Frees the session; a Firebird one with a broken attachment is set aside instead.
    void Close() noexcept { session.reset(); }

    // Runs a statement and fetches all its rows.
    std::unique_ptr<TCFetchedRecordSet> Run(const QString &statement)
    {
        Open();
        return session->Run(statement);
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

void TCConnexion::Disconnect() noexcept
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
            settings.firebird = {EncodeText(service, settings.codec), EncodeText(values.Login, settings.codec),
                                 EncodeText(values.PassWord, settings.codec), charset.toStdString()};
            std::string text = "service="
                + FirebirdValue(settings.firebird.service,
                                host.isEmpty() ? QStringLiteral("DataBaseName") : QStringLiteral("Host ou DataBaseName"));
            if (!values.Login.isEmpty())
                text += " user=" + FirebirdValue(settings.firebird.user, QStringLiteral("Login"));
            if (!values.PassWord.isEmpty())
                text += " password=" + FirebirdValue(settings.firebird.password, QStringLiteral("PassWord"));
            text += " charset=" + FirebirdValue(settings.firebird.charset, QStringLiteral("Charset"));
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
    settings.connectTimeout = qMax(1, values.ConnectTimeout);
    settings.statementTimeout = qMax(1, values.ReadTimeout);
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
    d->password = values.PassWord;
}

bool TCConnexion::Connect(bool askRetry)
{
    for (;;) {
        try {
            d->Open();
        } catch (const std::exception &error) {
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
    std::unique_ptr<TCFetchedRecordSet> tables;
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
                std::unique_ptr<TCFetchedRecordSet> result = d->Run(statement);
                if (result->IsEmpty())
                    return false;
                recordSet = std::move(result);
                return true;
            } catch (const EServerSilent &silent) {
                // Not tried again: a second wait would double the user's.
                qCInfo(lcConnexion) << "statement failed:" << statement << silent.Message();
                d->Close();
                ConnectionLost = true;
                throw EScrivoError(silent.Message());
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
