// Connection parameters: everything needed to reach the practice database and the
// practice's shared folders. Values come from the workstation's registry (subkeys
// "Cnx" and "Chemins" under the root that "cnxregmode" selects) and from the central
// parameter file, found through "-ini" on the command line or the registry's
// "ParamFilePath"; a non-empty value of the file wins over the registry's. "-v" and
// "-vv" on the command line show each step in a message ("-vv" adds the credentials).
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class TCAppNames;
class TCGRegistry;

/// Asks the application to end: the caller goes on, and the program ends once control
/// is back in its main event loop (a modal window open meanwhile is left alone).
void RequestApplicationTermination();

class TCCnxParam {
public:
    /// Values of RegistryMode, also the registry root selectors.
    enum { User = 0, Local = 1 };

    /// Creates the registry store and reads "cnxregmode" (raises EGRegException when it
    /// cannot be read). `names` gives the registry path segments, the parameter file's
    /// name and the application's display name; it must outlive this object.
    explicit TCCnxParam(const TCAppNames &names, const QStringList &arguments = QCoreApplication::arguments());
    ~TCCnxParam();
    TCCnxParam(const TCCnxParam &) = delete;
    TCCnxParam &operator=(const TCCnxParam &) = delete;

    /// The program's arguments, program first; scanned for "-v", "-vv" and "-ini".
    QStringList Arguments;

    std::unique_ptr<TCGRegistry> Registry;
    /// Accepted DataBaseType values, compared without regard to case.
    QStringList ServerTypes;
    QString RowLimitKeyword;
    int RegistryMode = Local;
    QString ParamFilePath;
    QString ParamFileName;
    bool AutoLoadParam = true;
    bool IniOnCommandLine = false;
    QString DataBaseName;
    QString Host;
    QString HostName;
    QString Login;
    QString PassWord;
    QString DataBaseType;
    QString Charset;
    QString Port;
    QString Protocol;
    bool InnoDB = false;
    bool LectureSeule = false;
    QString ServerDir;
    QString Modele;
    QString Courrier;
    QString Piece;
    QString hPrim;
    QString Ged;
    QString ModGed;
    QString Param;
    QString Gups;
    QString Maj;
    /// Archive folders 1 to 9 (index 0 unused).
    std::array<QString, 10> Archives;
    /// Set when LoadParams asked the application to end (the "-ini" file is missing).
    bool TerminationRequested = false;

    /// Fills the fields from the command line, the registry and, unless `RegistryOnly`,
    /// the central file. Raises EGRegException when the "Cnx" subkey or a value of it
    /// cannot be read; other failures are shown and loading goes on.
    void LoadParams(bool RegistryOnly);
    /// True when no central file is named, or the named one exists and answered.
    bool ParamFileAvailable() const;
    /// True when the parameters are complete enough to connect; in trace mode, shows
    /// what is missing.
    bool CheckParams();
    /// "firebird", "mysql" or empty, from DataBaseType.
    QString GetServerKind() const;
    /// "FIRST" for Firebird (kept once found), else empty.
    QString GetRowLimitKeyword();

private:
    struct TraceMode {
        bool on = false;
        bool credentials = false;
    };
    TraceMode DetermineTraceMode() const;
    void Trace(const QString &text) const;
    QString Summary(const QString &header) const;
    QString CandidateParamFile(const QString &folder) const;
    void ReadRegistryFolders();
    void ReadCentralFile(const TraceMode &trace);

    const TCAppNames *FNames;
    bool FParamFileSilent = false; // the central file did not answer within the bound
};
