// The workstation's registry, read only: keys under two roots (the user's and the
// machine's), each holding typed values. Key and value names compare without regard
// to case. Nothing here ever writes.
//
// Free of Qt: UTF-8 texts, French error texts meant for the user.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

enum class RegistryValueStatus {
    Found,
    NotFound,  ///< the key has no value of that name
    WrongKind, ///< the value exists with another type; the error text says which
};

/// An open key (on Linux, a snapshot of its values taken when it was opened; on Windows,
/// the registry's key itself).
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    /// A text value (plain or expandable string).
    virtual RegistryValueStatus readString(const std::string &name, std::string &value, std::string &error) const = 0;
    /// A 32-bit integer value (dword).
    virtual RegistryValueStatus readDword(const std::string &name, std::uint32_t &value, std::string &error) const = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    /// Opens an existing key; `path` is taken from the root, its parts separated by "\".
    /// Null when the key does not exist (`error` left empty) or when the root's store
    /// cannot be read (`error` says why). Missing keys are never created.
    virtual std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::string &path, std::string &error) = 0;
    /// Where the keys of `root` are looked for, in French, for a message about a missing
    /// key; empty where the platform's registry needs no explanation.
    virtual std::string whereKeysAre(RegistryRoot) const { return {}; }
};

/// The registry of this workstation, where the settings of `company`'s programs live.
std::unique_ptr<Registry> openSystemRegistry(const std::string &company);

} // namespace platform
