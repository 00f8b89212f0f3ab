#include "CGRegistry.h"

#include "support/WinTools.h"

namespace {

QString FromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

TCGRegistry::TCGRegistry(const QString &CompanyName, const QString &ApplicationName, quint8 AccessMode)
    : TCGRegistry(CompanyName, ApplicationName, AccessMode, platform::openSystemRegistry(CompanyName.toStdString()))
{
}

TCGRegistry::TCGRegistry(const QString &CompanyName, const QString &ApplicationName, quint8 AccessMode,
                         std::unique_ptr<platform::Registry> registry)
    : AccessMode(AccessMode)
    , CompanyName(CompanyName)
    , ApplicationName(ApplicationName)
    , FRegistry(std::move(registry))
{
}

TCGRegistry::~TCGRegistry() = default;

QString TCGRegistry::BaseKey() const
{
    return QStringLiteral("Software\\") + CompanyName + u'\\' + ApplicationName;
}

TCGRegistry::Handle *TCGRegistry::HandleOf(int Root)
{
    if (Root == UserRoot)
        return &UserRegistry;
    if (Root == LocalRoot)
        return &LocalRegistry;
    return nullptr;
}

void TCGRegistry::Fail(int Root)
{
    LastError = Root == UserRoot ? -1 : -2;
}

bool TCGRegistry::OpenKey(Handle &handle, const QString &path, QString &error)
{
    handle.current.reset();
    std::string reason;
    handle.current = FRegistry->openKey(handle.root, path.toStdString(), reason);
    error = FromUtf8(reason);
    return handle.current != nullptr;
}

bool TCGRegistry::OpenBaseKeys()
{
    bool opened = true;
    for (const int root : {UserRoot, LocalRoot}) {
        QString error;
        bool ok = false;
        try {
            ok = OpenKey(*HandleOf(root), BaseKey(), error);
        } catch (const std::exception &) {
            ok = false;
        }
        if (!ok) {
            Fail(root);
            opened = false;
        }
    }
    return opened;
}

void TCGRegistry::OpenSubKey(const QString &Name, int Root)
{
    Handle *handle = HandleOf(Root);
    if (!handle)
        return;
    QString error;
    if (!OpenKey(*handle, BaseKey() + u'\\' + Name, error)) {
        Fail(Root);
        QString message = QStringLiteral("Impossible d'ouvrir la sous clé % de la table de registre");
        message.replace(u'%', Name);
        // An unreadable store says why; a missing key says where it was looked for.
        if (error.isEmpty())
            error = FromUtf8(FRegistry->whereKeysAre(handle->root));
        if (!error.isEmpty())
            message += QStringLiteral("\r\n") + error;
        throw EGRegException(message);
    }
}

void TCGRegistry::ReopenBaseKey(int Root)
{
    Handle *handle = HandleOf(Root);
    if (!handle)
        return;
    QString error;
    if (!OpenKey(*handle, BaseKey(), error)) {
        Fail(Root);
        QString message = QStringLiteral("Impossible de réinitiliser l'accès à la base de registre");
        if (!error.isEmpty())
            message += QStringLiteral("\r\n") + error;
        throw EGRegException(message);
    }
}

QString TCGRegistry::ReadStringValue(const QString &Name, const QString &Default, int Root)
{
    Handle *handle = HandleOf(Root);
    if (!handle)
        return QString();
    if (!handle->current)
        return Default;
    std::string value;
    std::string error;
    switch (handle->current->readString(Name.toStdString(), value, error)) {
    case platform::RegistryValueStatus::Found:
        return FromUtf8(value);
    case platform::RegistryValueStatus::NotFound:
        return Default;
    case platform::RegistryValueStatus::WrongKind:
        break;
    }
    throw EGRegException(QStringLiteral("Impossible de lire la valeur <") + Name + QStringLiteral(">\r\n") + FromUtf8(error));
}

qint32 TCGRegistry::ReadIntegerValue(const QString &Name, qint32 Default, int Root)
{
    Handle *handle = HandleOf(Root);
    if (!handle)
        return 0;
    if (!handle->current)
        return Default;
    std::uint32_t value = 0;
    std::string error;
    switch (handle->current->readDword(Name.toStdString(), value, error)) {
    case platform::RegistryValueStatus::Found:
        return static_cast<qint32>(value);
    case platform::RegistryValueStatus::NotFound:
        return Default;
    case platform::RegistryValueStatus::WrongKind:
        break;
    }
    throw EGRegException(QStringLiteral("Impossible de lire la valeur <") + Name + QStringLiteral(">\r\n") + FromUtf8(error));
}

void TCGRegistry::CloseKeys()
{
    try {
        LocalRegistry.current.reset();
        UserRegistry.current.reset();
    } catch (...) {
        MsgBox(nullptr, QStringLiteral("Erreur lors de la fermeture de la base de registre."), QStringLiteral("*APP*"), mfOk);
    }
}
