#include "CCnxParam.h"

#include "CGRegistry.h"
#include "platform/IniFile.h"
#include "support/CAppNames.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>

namespace {

// Folder parameters end with the platform's separator ("\\" on Windows, "/" on Linux).
const QChar PathDelimiter = QDir::separator();

const QString FileErrorLocation = QStringLiteral("de lecture des paramètres de connexions");

QString WithDelimiter(const QString &folder)
{
    return folder.endsWith(PathDelimiter) ? folder : folder + PathDelimiter;
}

QString YesNo(bool value)
{
    return value ? QStringLiteral("oui") : QStringLiteral("non");
}

// "1" and "-1" are true; anything else, the empty text included, is false.
bool BoolText(const QString &text)
{
    return text == QLatin1String("1") || text == QLatin1String("-1");
}

// A folder on a share that stops answering blocks whoever asks: each question about it
// runs on a thread of its own, which is waited for this long at most and left behind
// (blocked, it harms nobody) when it does not come back.
constexpr int ShareBoundSeconds = 10;

template <typename T>
std::optional<T> WithinBound(std::function<T()> question)
{
    auto answer = std::make_shared<std::promise<T>>();
    std::future<T> future = answer->get_future();
    std::thread([answer, question = std::move(question)] { answer->set_value(question()); }).detach();
    if (future.wait_for(std::chrono::seconds(ShareBoundSeconds)) != std::future_status::ready)
        return std::nullopt;
    return future.get();
}

// Anything there but a folder; what does not answer within the bound counts as absent.
bool FileExists(const QString &path)
{
    return !path.isEmpty() && WithinBound<bool>([path] {
                                  const QFileInfo file(path);
                                  return file.exists() && !file.isDir();
                              }).value_or(false);
}

bool FolderExists(const QString &path)
{
    return WithinBound<bool>([path] { return QFileInfo(path).isDir(); }).value_or(false);
}

// The parent folder of `folder`, made absolute and normalised, with its separator.
QString ParentFolder(const QString &folder)
{
    QString path = QDir::cleanPath(QFileInfo(WithDelimiter(folder) + QStringLiteral("..") + PathDelimiter).absoluteFilePath());
    // Above the root is the root.
    while (path.startsWith(QStringLiteral("/..")) && (path.size() == 3 || path.at(3) == u'/'))
        path.remove(0, 3);
    if (path.isEmpty())
        path = QStringLiteral("/");
    return WithDelimiter(QDir::toNativeSeparators(path));
}

void EndWhenBackInMainLoop()
{
    // A modal window's own loop runs inside the main one: wait until it is closed.
    if (QThread::currentThread()->loopLevel() > 1) {
        QTimer::singleShot(50, QCoreApplication::instance(), &EndWhenBackInMainLoop);
        return;
    }
    QCoreApplication::exit(0);
}

} // namespace

void RequestApplicationTermination()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        QTimer::singleShot(0, application, &EndWhenBackInMainLoop);
}

TCCnxParam::TCCnxParam(const TCAppNames &names, const QStringList &arguments)
    : Arguments(arguments)
    , Registry(std::make_unique<TCGRegistry>(names.Company, names.Family, 2))
    , FNames(&names)
{
    const TraceMode trace = DetermineTraceMode();
    {
        const auto closeKeys = qScopeGuard([this] { Registry->CloseKeys(); });
        Registry->OpenBaseKeys();
        if (Registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 0, TCGRegistry::LocalRoot) != 0) {
            RegistryMode = User;
            if (trace.on)
                Trace(QStringLiteral("Mode registre : User"));
        } else {
            RegistryMode = Local;
            if (trace.on)
                Trace(QStringLiteral("Mode registre : Local"));
        }
    }
    ServerTypes = {QStringLiteral("FireBird 2"), QStringLiteral("FireBird 2.0"), QStringLiteral("FireBird 2.1"),
                   QStringLiteral("MySQL 3.23"), QStringLiteral("MySQL 3.x"),    QStringLiteral("MySQL 3.xx"),
                   QStringLiteral("MySQL 4.0"),  QStringLiteral("MySQL 4.00"),   QStringLiteral("MySQL 4.x"),
                   QStringLiteral("MySQL 4.xx")};
}

TCCnxParam::~TCCnxParam() = default;

TCCnxParam::TraceMode TCCnxParam::DetermineTraceMode() const
{
    for (qsizetype i = 1; i < Arguments.size(); ++i) {
        const QString argument = StringManager->Lower(Arguments.at(i));
        if (argument == QLatin1String("-v"))
            return {true, false};
        if (argument == QLatin1String("-vv"))
            return {true, true};
    }
    return {};
}

void TCCnxParam::Trace(const QString &text) const
{
    MsgBox(nullptr, text, QStringLiteral("*APP*"), mfOk);
}

QString TCCnxParam::Summary(const QString &header) const
{
    const QString nl = QStringLiteral("\r\n");
    return header + DataBaseName + nl
        + (Login.isEmpty() ? QStringLiteral("Login : absent") : QStringLiteral("Login : founi")) + nl
        + (PassWord.isEmpty() ? QStringLiteral("PassWord : absent") : QStringLiteral("Password : founi")) + nl
        + QStringLiteral("HoDataBaseType : ") + DataBaseType + nl
        + QStringLiteral("Host : ") + Host + nl
        + QStringLiteral("Charset : ") + Charset + nl
        + QStringLiteral("InnoDB : ") + YesNo(InnoDB) + nl
        + QStringLiteral("Port : ") + Port + nl
        + QStringLiteral("Protocol : ") + Protocol + nl
        + QStringLiteral("LectureSeule : ") + YesNo(LectureSeule);
}

QString TCCnxParam::CandidateParamFile(const QString &folder) const
{
    const QString candidate = folder + PathDelimiter + FNames->ParamFileName;
    if (FileExists(candidate))
        return candidate;
    // A share filled from Windows may spell the name in another case, which Windows
    // would not have minded.
    const QString name = FNames->ParamFileName;
    const QStringList found = WithinBound<QStringList>([folder, name] {
                                  return QDir(folder).entryList({name}, QDir::Files | QDir::Hidden, QDir::Name);
                              }).value_or(QStringList());
    if (!found.isEmpty())
        return folder + PathDelimiter + found.first();
    return QString();
}

void TCCnxParam::LoadParams(bool RegistryOnly)
{
    const auto closeKeys = qScopeGuard([this] { Registry->CloseKeys(); });
    const QString nl = QStringLiteral("\r\n");

    Registry->OpenBaseKeys();
    Registry->OpenSubKey(QStringLiteral("Cnx"), RegistryMode);
    ParamFileName.clear();
    ParamFilePath.clear();
    FParamFileSilent = false;
    IniOnCommandLine = false;
    const TraceMode trace = DetermineTraceMode();

    // A parameter file named on the command line.
    QString iniValue;
    for (qsizetype i = 1; i < Arguments.size(); ++i) {
        const QString &argument = Arguments.at(i);
        if (StringManager->Lower(StringManager->Left(argument, 4)) != QLatin1String("-ini"))
            continue;
        IniOnCommandLine = true;
        if (trace.on)
            Trace(QStringLiteral("Passage en mode .ini sur ligne de commande"));
        const qsizetype equals = argument.indexOf(u'=');
        iniValue = equals < 0 ? QString() : argument.mid(equals + 1);
        if (iniValue.size() < 2) {
            iniValue.clear();
        } else {
            if (iniValue.startsWith(u'"'))
                iniValue.remove(0, 1);
            if (iniValue.size() < 2)
                iniValue.clear();
            else if (iniValue.endsWith(u'"'))
                iniValue.chop(1);
        }
        if (trace.on)
            Trace(QStringLiteral("Ini sur ligne de commande : \r\n") + iniValue);
        break;
    }

    if (IniOnCommandLine) {
        if (FileExists(iniValue)) {
            ParamFileName = iniValue;
        } else {
            ParamFileName.clear();
            ParamFilePath.clear();
        }
        if (ParamFileName.isEmpty()) {
            MsgBox(nullptr,
                   QStringLiteral("Le fichier ini spécifié sur la ligne de commande est absent ou inaccessible.\r\n"
                                  "Vérifier le nom de ce fichier ou vos connexions réseaux.\r\nLe lancement de ")
                       + FNames->ApplicationName + QStringLiteral(" est impossible."),
                   QStringLiteral("*APP*"), mfOk);
            TerminationRequested = true;
            RequestApplicationTermination();
            return;
        }
        if (trace.on)
            Trace(QStringLiteral("Le fichier spécifié sur la ligne de commande existe bien"));
    } else {
        if (trace.on)
            Trace(QStringLiteral("Mode .ini en central"));
        const QString path = Registry->ReadStringValue(QStringLiteral("ParamFilePath"), QString(), RegistryMode);
        if (!path.isEmpty()) {
            if (trace.on)
                Trace(QStringLiteral("Chemin fichier ") + FNames->ParamFileName + QStringLiteral(" : \r\n") + path);
            ParamFilePath = path;
            if (FolderExists(path)) {
                ParamFileName = CandidateParamFile(path);
                if (ParamFileName.isEmpty())
                    ParamFilePath.clear();
            } else {
                MsgBox(nullptr,
                       QStringLiteral("Le chemin ") + path + nl + QStringLiteral("est inaccessible !") + nl
                           + QStringLiteral("Vérifiez vos connexions réseau et/ou la disponibilité de votre serveur !"),
                       QStringLiteral("*APP*"), mfOk);
            }
        }
    }

    AutoLoadParam = Registry->ReadIntegerValue(QStringLiteral("AutoLoadParam"), 1, RegistryMode) != 0;
    if (trace.on)
        Trace(AutoLoadParam ? QStringLiteral("AutoLoadParam : true") : QStringLiteral("AutoLoadParam : false"));

    const auto read = [this](const char *name, const QString &current) {
        return Registry->ReadStringValue(QLatin1String(name), current, RegistryMode);
    };
    DataBaseName = read("DataBaseName", DataBaseName);
    Login = read("Login", Login);
    PassWord = read("PassWord", PassWord);
    DataBaseType = read("DataBaseType", DataBaseType);
    Host = read("Host", Host);
    Charset = read("Charset", Charset);
    InnoDB = BoolText(read("InnoDB", QString()));
    LectureSeule = BoolText(read("LectureSeule", QString()));
    Port = read("Port", Port);
    Protocol = read("Protocol", Protocol);

    if (trace.on)
        Trace(Summary(QStringLiteral("Paramètres lu en Base de registre : \r\nDatabaseName : ")));
    if (trace.credentials)
        Trace(QStringLiteral("Login/pass lu en Base de registre : \r\nLogin : ") + Login + nl + QStringLiteral("PassWord : ")
              + PassWord);

    Registry->ReopenBaseKey(RegistryMode);
    bool pathsRead = true;
    try {
        ReadRegistryFolders();
    } catch (const std::exception &) {
        pathsRead = false;
    }
    if (trace.on)
        Trace(QStringLiteral("Chemins lu en Base de registre : \r\n") + (pathsRead ? QString() : QStringLiteral("lecture impossible\r\n"))
              + QStringLiteral("Modele : ") + Modele + nl + QStringLiteral("Courrier : ") + Courrier + nl
              + QStringLiteral("Piece : ") + Piece + nl + QStringLiteral("hPrim : ") + hPrim + nl
              + QStringLiteral("Ged : ") + Ged + nl + QStringLiteral("ModGed : ") + ModGed + nl
              + QStringLiteral("Param : ") + Param + nl + QStringLiteral("Gups : ") + Gups + nl
              + QStringLiteral("Maj : ") + Maj + nl + QStringLiteral("Archives[1] : ") + Archives[1] + nl
              + QStringLiteral("Archives[2] : ") + Archives[2] + nl + QStringLiteral("Archives[3] : ") + Archives[3]);

    if (AutoLoadParam && !ParamFileName.isEmpty() && !RegistryOnly)
        ReadCentralFile(trace);
    else if (trace.on)
        Trace(QStringLiteral("Pas de lecture du fichier .ini !\r\nParamFileName : <") + ParamFileName + QStringLiteral(">")
              + nl + QStringLiteral("RegistryOnly : ") + YesNo(RegistryOnly));

    if (ServerDir.isEmpty())
        ServerDir = ParentFolder(Modele);
}

void TCCnxParam::ReadRegistryFolders()
{
    Registry->OpenSubKey(QStringLiteral("Chemins"), RegistryMode);
    const auto read = [this](const char *name, const QString &current) {
        return Registry->ReadStringValue(QLatin1String(name), current, RegistryMode);
    };
    // Always a folder, if only the separator.
    const auto folder = [&](const char *name, QString &field) { field = WithDelimiter(read(name, field)); };
    // A folder when given.
    const auto optionalFolder = [&](const char *name, QString &field) {
        if (const QString value = read(name, field); !value.isEmpty())
            field = WithDelimiter(value);
    };
    // Blanks tidied, then a folder when given.
    const auto tidyFolder = [&](const char *name, QString &field) {
        field = StringManager->CollapseBlanks(read(name, field));
        if (!field.isEmpty())
            field = WithDelimiter(field);
    };
    folder("Modele", Modele);
    folder("Courrier", Courrier);
    folder("Piece", Piece);
    optionalFolder("hPrim", hPrim);
    folder("Ged", Ged);
    optionalFolder("Gups", Gups);
    tidyFolder("ModGed", ModGed);
    tidyFolder("Param", Param);
    tidyFolder("Maj", Maj);
    for (int i = 1; i <= 9; ++i)
        Archives[i] = Registry->ReadStringValue(QStringLiteral("Archive") + QString::number(i), QString(), RegistryMode);
}

void TCCnxParam::ReadCentralFile(const TraceMode &trace)
{
    const QString nl = QStringLiteral("\r\n");
    if (trace.on)
        Trace(QStringLiteral("Debut chargement fichier : \r\n") + ParamFileName);
    try {
        struct Load {
            platform::IniFile file;
            std::string error;
            bool loaded = false;
        };
        const std::string path = ParamFileName.toStdString();
        std::optional<Load> load = WithinBound<Load>([path] {
            Load attempt;
            attempt.loaded = attempt.file.load(path, attempt.error);
            return attempt;
        });
        if (!load) {
            // Told once; start-up then ends as without its central file.
            FParamFileSilent = true;
            MsgBox(nullptr,
                   QStringLiteral("Le fichier ") + ParamFileName + nl
                       + QStringLiteral("ne répond pas (aucune réponse en %1 s).").arg(ShareBoundSeconds) + nl
                       + QStringLiteral("Vérifiez vos connexions réseau et/ou la disponibilité de votre serveur !"),
                   QStringLiteral("*APP*"), mfOk);
            return;
        }
        const platform::IniFile &file = load->file;
        const std::string &error = load->error;
        if (!load->loaded) {
            ShowErrorMessage(nullptr,
                             QStringLiteral("Impossible d'accéer au fichier \r\n<") + ParamFileName + QStringLiteral(">") + nl
                                 + QStringLiteral("Les paramètres de connexion risquent d'être incomplet."),
                             FileErrorLocation, false);
            throw EScrivoError(QString::fromStdString(error));
        }
        const auto value = [&file](const char *section, const QString &key) {
            return QString::fromStdString(file.readString(section, key.toStdString()));
        };
        const auto text = [&](const char *key, QString &field) {
            if (const QString v = value("CNX", QLatin1String(key)); !v.isEmpty())
                field = v;
        };
        text("DataBaseName", DataBaseName);
        text("Login", Login);
        text("PassWord", PassWord);
        text("DataBaseType", DataBaseType);
        InnoDB = BoolText(value("CNX", QStringLiteral("InnoDB")));
        LectureSeule = BoolText(value("CNX", QStringLiteral("LectureSeule")));
        text("Host", Host);
        text("HostName", HostName);
        text("Charset", Charset);
        text("Port", Port);
        text("Protocol", Protocol);

        const auto folder = [&](const QString &key, QString &field) {
            if (const QString v = value("CHEMINS", key); !v.isEmpty())
                field = WithDelimiter(v);
        };
        folder(QStringLiteral("Modele"), Modele);
        folder(QStringLiteral("Courrier"), Courrier);
        folder(QStringLiteral("Piece"), Piece);
        folder(QStringLiteral("hPrim"), hPrim);
        folder(QStringLiteral("Gups"), Gups);
        folder(QStringLiteral("Ged"), Ged);
        folder(QStringLiteral("ModGed"), ModGed);
        folder(QStringLiteral("Param"), Param);
        folder(QStringLiteral("Maj"), Maj);
        for (int i = 1; i <= 9; ++i)
            folder(QStringLiteral("Archive") + QString::number(i), Archives[i]);
        folder(QStringLiteral("ServerDir"), ServerDir);

        if (trace.on)
            Trace(Summary(QStringLiteral("Paramètres après lecture .ini : \r\nDatabaseName : ")));
        if (trace.credentials)
            Trace(QStringLiteral("Login/pass Paramètres après lecture .ini : \r\nLogin : ") + Login + nl
                  + QStringLiteral("PassWord : ") + PassWord);
        if (trace.on)
            Trace(QStringLiteral("Chemins après lecture .ini : \r\nModele : ") + Modele + nl + QStringLiteral("Courrier : ")
                  + Courrier + nl + QStringLiteral("Piece : ") + Piece + nl + QStringLiteral("hPrim : ") + hPrim + nl
                  + QStringLiteral("Gups : ") + Gups + nl + QStringLiteral("Ged : ") + Ged + nl
                  + QStringLiteral("ModGed : ") + ModGed + nl + QStringLiteral("Param : ") + Param + nl
                  + QStringLiteral("Maj : ") + Maj + nl + QStringLiteral("Archives[1] : ") + Archives[1] + nl
                  + QStringLiteral("Archives[2] : ") + Archives[2] + nl + QStringLiteral("Archives[3] : ") + Archives[3]);
    } catch (const std::exception &) {
        ShowErrorMessage(nullptr,
                         QStringLiteral("Impossible de lire un des paramètres du fichier \r\n<") + ParamFileName
                             + QStringLiteral(">") + nl + QStringLiteral("Les paramètres de connexion risquent d'être incomplet."),
                         FileErrorLocation, false);
    }
}

bool TCCnxParam::ParamFileAvailable() const
{
    try {
        if (FParamFileSilent)
            return false;
        return ParamFileName.isEmpty() || FileExists(ParamFileName);
    } catch (...) {
        return false;
    }
}

bool TCCnxParam::CheckParams()
{
    try {
        const TraceMode trace = DetermineTraceMode();
        QString report;
        bool result = true;
        const auto missing = [&](const QString &line) {
            report += line;
            result = false;
        };
        if (!ServerTypes.contains(DataBaseType, Qt::CaseInsensitive)) {
            report = QStringLiteral("Le type de serveur est incorrect ou manquant.\r\n");
            result = false;
        }
        if (GetServerKind() == QLatin1String("mysql") && StringManager->TrimBlank(Host).isEmpty())
            missing(QStringLiteral("Aucun serveur (Host) n'a été indiqué\r\n"));
        if (StringManager->TrimBlank(DataBaseName).isEmpty())
            missing(QStringLiteral("Aucun nom de base de donnée n'a été indiqué.\r\n"));
        if (StringManager->TrimBlank(Login).isEmpty())
            missing(QStringLiteral("Le Login (identité) nécessaire à la connexion n'a pas été précisé.\r\n"));
        if (StringManager->Lower(DataBaseType).contains(QLatin1String("firebird"))
            && StringManager->TrimBlank(PassWord).isEmpty())
            missing(QStringLiteral("Le mot de passe nécessaire à la connexion n'a pas été précisé.\r\n"));
        if (!result && trace.on)
            Trace(QStringLiteral("Certains paramètres sont manquants ou incomplets : \r\n") + report);
        return result;
    } catch (...) {
        return false;
    }
}

QString TCCnxParam::GetServerKind() const
{
    const QString type = StringManager->Lower(DataBaseType);
    if (type.contains(QLatin1String("firebird")))
        return QStringLiteral("firebird");
    if (type.contains(QLatin1String("mysql")))
        return QStringLiteral("mysql");
    return QString();
}

QString TCCnxParam::GetRowLimitKeyword()
{
    if (!RowLimitKeyword.isEmpty())
        return RowLimitKeyword;
    if (GetServerKind() == QLatin1String("firebird"))
        RowLimitKeyword = QStringLiteral("FIRST");
    return RowLimitKeyword;
}
