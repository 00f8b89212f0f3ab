// The registry on Windows, through advapi32, read only: RegOpenKeyExW with KEY_READ on
// the current-user or the local-machine root, RegQueryValueExW for typed values. Names
// and texts are UTF-16 in the registry and UTF-8 here: any character comes through.
//
// Keys are read in the 32-bit view of the registry (KEY_WOW64_32KEY): the practice
// application and its installer are 32-bit programs, whose keys under
// HKEY_LOCAL_MACHINE\Software a 64-bit Windows keeps in that view (Wow6432Node); the
// user's Software key is the same in both views.
#include "platform/Registry.h"

#include "AnsiText.h"

#include <cstring>
#include <windows.h>

namespace platform {

namespace {

constexpr REGSAM ReadAccess = KEY_READ | KEY_WOW64_32KEY;

std::string kindName(DWORD type)
{
    switch (type) {
    case REG_NONE: return "aucun";
    case REG_SZ: return "texte";
    case REG_EXPAND_SZ: return "texte extensible";
    case REG_BINARY: return "binaire";
    case REG_DWORD: return "dword";
    case REG_DWORD_BIG_ENDIAN: return "dword gros-boutiste";
    case REG_MULTI_SZ: return "textes multiples";
    case REG_QWORD: return "qword";
    default: return "type " + std::to_string(type);
    }
}

std::string wrongKind(const std::string &name, const char *expected, DWORD found)
{
    return "Type de données incorrect pour la valeur '" + name + "' : " + expected + " attendu, " + kindName(found)
        + " trouvé.";
}

std::string unreadable(const std::string &name, LONG status)
{
    return "Impossible de lire la valeur '" + name + "' : " + win::systemMessage(static_cast<DWORD>(status)) + ".";
}

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : FKey(key) {}
    ~Win32RegistryKey() override { RegCloseKey(FKey); }
    Win32RegistryKey(const Win32RegistryKey &) = delete;
    Win32RegistryKey &operator=(const Win32RegistryKey &) = delete;

    RegistryValueStatus readString(const std::string &name, std::string &value, std::string &error) const override
    {
        DWORD type = REG_NONE;
        std::string data;
        if (const RegistryValueStatus status = read(name, type, data, error); status != RegistryValueStatus::Found)
            return status;
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            error = wrongKind(name, "texte", type);
            return RegistryValueStatus::WrongKind;
        }
        // UTF-16; the stored text may or may not carry its terminating zero (or several).
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        value = win::fromWide(text);
        return RegistryValueStatus::Found;
    }

    RegistryValueStatus readDword(const std::string &name, std::uint32_t &value, std::string &error) const override
    {
        DWORD type = REG_NONE;
        std::string data;
        if (const RegistryValueStatus status = read(name, type, data, error); status != RegistryValueStatus::Found)
            return status;
        if (type != REG_DWORD || data.size() != sizeof(DWORD)) {
            error = wrongKind(name, "dword", type);
            return RegistryValueStatus::WrongKind;
        }
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        value = number;
        return RegistryValueStatus::Found;
    }

private:
    // The value's type and bytes: NotFound when there is no such value, WrongKind (with
    // `error`) when it cannot be read.
    RegistryValueStatus read(const std::string &name, DWORD &type, std::string &data, std::string &error) const
    {
        const LONG status = query(name, type, data);
        if (status == ERROR_FILE_NOT_FOUND)
            return RegistryValueStatus::NotFound;
        if (status != ERROR_SUCCESS) {
            error = unreadable(name, status);
            return RegistryValueStatus::WrongKind;
        }
        return RegistryValueStatus::Found;
    }

    // The value's type and bytes; the size is asked first, and again if the value grew
    // in between.
    LONG query(const std::string &name, DWORD &type, std::string &data) const
    {
        const std::wstring wideName = win::toWide(name);
        for (;;) {
            DWORD size = 0;
            LONG status = RegQueryValueExW(FKey, wideName.c_str(), nullptr, &type, nullptr, &size);
            if (status != ERROR_SUCCESS)
                return status;
            data.assign(size, '\0');
            status = RegQueryValueExW(FKey, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data.data()),
                                      &size);
            if (status == ERROR_MORE_DATA)
                continue;
            data.resize(size);
            return status;
        }
    }

    HKEY FKey;
};

class Win32Registry : public Registry {
public:
    std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::string &path, std::string &error) override
    {
        error.clear();
        const bool user = root == RegistryRoot::CurrentUser;
        HKEY key = nullptr;
        const LONG status = RegOpenKeyExW(user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, win::toWide(path).c_str(), 0,
                                          ReadAccess, &key);
        if (status == ERROR_SUCCESS)
            return std::make_unique<Win32RegistryKey>(key);
        if (status != ERROR_FILE_NOT_FOUND && status != ERROR_PATH_NOT_FOUND)
            error = std::string("Impossible d'ouvrir la clé <") + (user ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\")
                + path + "> : " + win::systemMessage(static_cast<DWORD>(status)) + ".";
        return nullptr;
    }
};

} // namespace

std::unique_ptr<Registry> openSystemRegistry(const std::string &)
{
    return std::make_unique<Win32Registry>();
}

} // namespace platform
