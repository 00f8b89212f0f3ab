#include "RegistryFiles.h"

#include "testsupport/TestFiles.h"

#include <QDir>

namespace {

const char *const MachineVariable = "SCRIVO_HKLM_FILE";
const char *const UserVariable = "SCRIVO_HKCU_FILE";

QString Quoted(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + text + u'"';
}

// Sets the variable back to `value`; a null value unsets it.
void Restore(const char *variable, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(variable);
    else
        qputenv(variable, value);
}

} // namespace

RegText::RegText(Root root)
    : FRoot(root == Machine ? QStringLiteral("HKEY_LOCAL_MACHINE") : QStringLiteral("HKEY_CURRENT_USER"))
{
}

RegText &RegText::key(const QString &sub)
{
    FText += QStringLiteral("\r\n[") + FRoot + QStringLiteral("\\Software\\Keldar\\Talvor")
        + (sub.isEmpty() ? QString() : u'\\' + sub) + QStringLiteral("]\r\n");
    return *this;
}

RegText &RegText::text(const QString &name, const QString &value)
{
    FText += Quoted(name) + u'=' + Quoted(value) + QStringLiteral("\r\n");
    return *this;
}

RegText &RegText::dword(const QString &name, quint32 value)
{
    FText += Quoted(name) + QStringLiteral("=dword:%1\r\n").arg(value, 8, 16, QLatin1Char('0'));
    return *this;
}

RegText &RegText::remove(const QString &name)
{
    FText += Quoted(name) + QStringLiteral("=-\r\n");
    return *this;
}

QByteArray RegText::bytes() const
{
    return (QStringLiteral("REGEDIT4\r\n") + FText).toUtf8();
}

RegistryFiles::RegistryFiles(const QString &folder)
{
    QString path = folder;
    if (path.isEmpty())
        path = FOwnFolder.emplace().path();
    FMachineFile = QDir(path).filePath(QStringLiteral("hklm.reg"));
    FUserFile = QDir(path).filePath(QStringLiteral("hkcu.reg"));
}

RegistryFiles::~RegistryFiles()
{
    if (!FActive)
        return;
    Restore(MachineVariable, FPreviousMachine);
    Restore(UserVariable, FPreviousUser);
}

void RegistryFiles::machine(const QByteArray &content) const
{
    WriteFile(FMachineFile, content);
}

void RegistryFiles::user(const QByteArray &content) const
{
    WriteFile(FUserFile, content);
}

void RegistryFiles::activate()
{
    if (!FActive) {
        FPreviousMachine = qEnvironmentVariableIsSet(MachineVariable) ? qgetenv(MachineVariable) : QByteArray();
        FPreviousUser = qEnvironmentVariableIsSet(UserVariable) ? qgetenv(UserVariable) : QByteArray();
        FActive = true;
    }
    qputenv(MachineVariable, FMachineFile.toUtf8());
    qputenv(UserVariable, FUserFile.toUtf8());
}

QProcessEnvironment RegistryFiles::environment(QProcessEnvironment base) const
{
    base.insert(QString::fromLatin1(MachineVariable), FMachineFile);
    base.insert(QString::fromLatin1(UserVariable), FUserFile);
    return base;
}
