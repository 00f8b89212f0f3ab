// Registry files for tests: the REGEDIT4 text of keys under Software\Keldar\Talvor, and the
// machine ("hklm.reg") and user ("hkcu.reg") files that SCRIVO_HKLM_FILE and
// SCRIVO_HKCU_FILE name, for this process or for a program the test starts.
//
//   RegistryFiles registry;
//   registry.activate();
//   registry.machine(RegText().key(QStringLiteral("Cnx")).text(QStringLiteral("Login"), QStringLiteral("SYSDBA")));
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <optional>

/// The text of a registry file: keys under Software\Keldar\Talvor of one root, values
/// quoted and escaped as regedit writes them. A key given again adds to it: a later value
/// replaces one of the same name, as the import does.
class RegText {
public:
    enum Root { Machine, User };
    explicit RegText(Root root = Machine);

    /// Starts the key Software\Keldar\Talvor\<sub>, the base key when `sub` is empty.
    RegText &key(const QString &sub = QString());
    RegText &text(const QString &name, const QString &value);
    RegText &dword(const QString &name, quint32 value);
    /// Deletes the value from the key ("name"=-).
    RegText &remove(const QString &name);
    QByteArray bytes() const;

private:
    QString FRoot;
    QString FText;
};

/// The two registry files of a test in `folder` (a temporary folder of its own when
/// empty); neither exists until written.
class RegistryFiles {
public:
    explicit RegistryFiles(const QString &folder = QString());
    /// Gives SCRIVO_HKLM_FILE and SCRIVO_HKCU_FILE back the values they had before activate().
    ~RegistryFiles();
    RegistryFiles(const RegistryFiles &) = delete;
    RegistryFiles &operator=(const RegistryFiles &) = delete;

    QString machineFile() const { return FMachineFile; }
    QString userFile() const { return FUserFile; }
    /// Writes the machine or the user file whole; a failed write fails the running test.
    void machine(const QByteArray &content) const;
    void machine(const RegText &text) const { machine(text.bytes()); }
    void user(const QByteArray &content) const;
    void user(const RegText &text) const { user(text.bytes()); }

    /// Makes this process read these files until the object dies.
    void activate();
    /// `base` with the variables naming these files, for a program the test starts.
    QProcessEnvironment environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;

private:
    std::optional<QTemporaryDir> FOwnFolder;
    QString FMachineFile;
    QString FUserFile;
    bool FActive = false;
    QByteArray FPreviousMachine;
    QByteArray FPreviousUser;
};
