// The registry store: reads the settings of one application of one company under the
// two registry roots at once, each read naming its root (0 the user's, 1 the machine's).
// Callers open the base keys, optionally a subkey, read, and close. Nothing is written.
#pragma once

#include "platform/Registry.h"
#include "support/StrMan.h"

#include <QString>

#include <memory>

/// The store's error: a French message.
class EGRegException : public EScrivoError {
public:
    using EScrivoError::EScrivoError;
};

class TCGRegistry {
public:
    /// Root selectors of the read operations.
    enum { UserRoot = 0, LocalRoot = 1 };

    /// `AccessMode` 3 asks for read-write access, anything else read-only; this store
    /// only ever reads and never creates a missing key.
    TCGRegistry(const QString &CompanyName, const QString &ApplicationName, quint8 AccessMode);
    /// A store over another registry (tests).
    TCGRegistry(const QString &CompanyName, const QString &ApplicationName, quint8 AccessMode,
                std::unique_ptr<platform::Registry> registry);
    ~TCGRegistry();
    TCGRegistry(const TCGRegistry &) = delete;
    TCGRegistry &operator=(const TCGRegistry &) = delete;

    /// 0 after creation; -1 when a key failed to open under the user root, -2 under the
    /// local-machine root. Never reset.
    qint32 LastError = 0;
    quint8 AccessMode;
    QString CompanyName;
    QString ApplicationName;

    /// "Software\<CompanyName>\<ApplicationName>".
    QString BaseKey() const;

    /// Opens the base key under both roots; true when both opened. Never raises.
    bool OpenBaseKeys();
    /// Opens the subkey `Name` of the base key under `Root` (its current key closed
    /// first). Raises EGRegException when it does not exist or cannot be read.
    void OpenSubKey(const QString &Name, int Root);
    /// Opens the base key again under `Root`. Raises EGRegException on failure.
    void ReopenBaseKey(int Root);
    /// The text value `Name` of `Root`'s current key, or `Default` when there is none;
    /// the empty text for a root other than 0 or 1. A value of another kind raises.
    QString ReadStringValue(const QString &Name, const QString &Default, int Root);
    /// The integer value `Name`, or `Default` when there is none; 0 for a root other than
    /// 0 or 1. A value of another kind raises.
    qint32 ReadIntegerValue(const QString &Name, qint32 Default, int Root);
    /// Closes the current keys; a failure is shown, never raised.
    void CloseKeys();

private:
    struct Handle {
        platform::RegistryRoot root;
        std::unique_ptr<platform::RegistryKey> current;
    };
    Handle *HandleOf(int Root);
    /// Opens `path` under the handle's root as its current key; false with `error` set
    /// (empty when the key does not exist).
    bool OpenKey(Handle &handle, const QString &path, QString &error);
    void Fail(int Root);

    std::unique_ptr<platform::Registry> FRegistry;
    Handle UserRegistry{platform::RegistryRoot::CurrentUser, nullptr};
    Handle LocalRegistry{platform::RegistryRoot::LocalMachine, nullptr};
};
