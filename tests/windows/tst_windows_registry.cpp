// The registry side on Windows, against the real registry: a REGEDIT4 file (Windows-1252,
// as regedit writes that format) is imported with "regedit /S", then read back through
// openSystemRegistry(): accented names and texts, dwords, an expandable text left as
// stored, missing keys and values, values of the wrong kind, and the 32-bit view of the
// machine's keys.
#include "WinCheck.h"
#include "platform/Registry.h"

#include <cstdio>
#include <windows.h>

using platform::RegistryRoot;
using platform::RegistryValueStatus;

namespace {

const char RegFile[] = "REGEDIT4\r\n"
                       "\r\n"
                       "[-HKEY_CURRENT_USER\\Software\\ScrivoTest]\r\n"
                       "[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\ScrivoTest]\r\n"
                       "[-HKEY_LOCAL_MACHINE\\Software\\ScrivoTest]\r\n"
                       "\r\n"
                       "[HKEY_CURRENT_USER\\Software\\ScrivoTest\\Cnx]\r\n"
                       "\"Modele\"=\"C:\\\\Mod\xe8les\\\\\xa3 \x80 \x95\"\r\n"
                       "\"Port\"=dword:00000bea\r\n"
                       "\"WPAutreOrdo\"=dword:ffffffff\r\n"
                       "\"Vide\"=\"\"\r\n"
                       "\"Chemin\"=hex(2):25,54,45,4d,50,25,5c,78,00\r\n"
                       "\"Binaire\"=hex:01,02\r\n"
                       "\r\n"
                       "[HKEY_CURRENT_USER\\Software\\ScrivoTest\\Mod\xe8les]\r\n"
                       "\"Cl\xe9\"=\"\xe9t\xe9\"\r\n"
                       "\r\n"
                       // Where a 32-bit installer's machine keys are on a 64-bit Windows.
                       "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\ScrivoTest]\r\n"
                       "\"cnxregmode\"=dword:00000001\r\n"
                       "\r\n"
                       "[HKEY_LOCAL_MACHINE\\Software\\ScrivoTest\\Vue64]\r\n"
                       "\"Seule\"=\"64\"\r\n";

bool importRegFile()
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "scrivo-test.reg";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fwrite(RegFile, 1, sizeof RegFile - 1, file);
    std::fclose(file);

    std::string command = "regedit.exe /S \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileA(path.c_str());
    return code == 0;
}

struct ValueCase {
    const char *what;
    RegistryRoot root;
    const char *key;
    const char *name;
    bool dword;
    RegistryValueStatus status;
    std::string text;        // a text's value, or a part of the error
    std::uint32_t number;
};

const ValueCase ValueCases[] = {
    {"accented text", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Modele", false,
     RegistryValueStatus::Found, "C:\\Modèles\\£ € •", 0},
    {"names without regard to case", RegistryRoot::CurrentUser, "SOFTWARE\\scrivotest\\cnx", "MODELE", false,
     RegistryValueStatus::Found, "C:\\Modèles\\£ € •", 0},
    {"accented key and value names", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Modèles", "Clé", false,
     RegistryValueStatus::Found, "été", 0},
    {"empty text", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Vide", false, RegistryValueStatus::Found,
     "", 0},
    {"expandable text as stored", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Chemin", false,
     RegistryValueStatus::Found, "%TEMP%\\x", 0},
    {"dword", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Port", true, RegistryValueStatus::Found, "",
     3050},
    {"dword -1", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "WPAutreOrdo", true,
     RegistryValueStatus::Found, "", 0xFFFFFFFF},
    {"missing value", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Absente", false,
     RegistryValueStatus::NotFound, "", 0},
    {"text read as dword", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Modele", true,
     RegistryValueStatus::WrongKind, "'Modele' : dword attendu, texte trouvé", 0},
    {"dword read as text", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Port", false,
     RegistryValueStatus::WrongKind, "'Port' : texte attendu, dword trouvé", 0},
    {"binary read as dword", RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Cnx", "Binaire", true,
     RegistryValueStatus::WrongKind, "binaire trouvé", 0},
    {"machine key in the 32-bit view", RegistryRoot::LocalMachine, "Software\\ScrivoTest", "cnxregmode", true,
     RegistryValueStatus::Found, "", 1},
};

} // namespace

int main()
{
    if (!CHECK(importRegFile()))
        return wincheck::finish("tst_windows_registry");
    const std::unique_ptr<platform::Registry> registry = platform::openSystemRegistry("Keldar");

    for (const ValueCase &c : ValueCases) {
        wincheck::context = c.what;
        std::string error;
        const std::unique_ptr<platform::RegistryKey> key = registry->openKey(c.root, c.key, error);
        if (!CHECK(key != nullptr))
            continue;
        CHECK_EQ(error, "");
        std::string text;
        std::uint32_t number = 0;
        error.clear();
        const RegistryValueStatus status =
            c.dword ? key->readDword(c.name, number, error) : key->readString(c.name, text, error);
        CHECK_EQ(status, c.status);
        if (c.status == RegistryValueStatus::WrongKind) {
            if (!CHECK(error.find(c.text) != std::string::npos))
                std::printf("  error: %s\n", error.c_str());
        } else if (c.dword) {
            CHECK_EQ(number, c.number);
        } else {
            CHECK_EQ(text, c.text);
        }
    }

    // Missing keys are no error, and are never created; the machine's keys of the 64-bit
    // view are not those of the practice application.
    const struct {
        RegistryRoot root;
        const char *key;
    } missing[] = {
        {RegistryRoot::CurrentUser, "Software\\ScrivoTest\\Absente"},
        {RegistryRoot::LocalMachine, "Software\\ScrivoTest\\Vue64"},
    };
    for (const auto &m : missing) {
        wincheck::context = m.key;
        std::string error = "?";
        CHECK(registry->openKey(m.root, m.key, error) == nullptr);
        CHECK_EQ(error, "");
        CHECK(registry->openKey(m.root, m.key, error) == nullptr);
    }
    return wincheck::finish("tst_windows_registry");
}
