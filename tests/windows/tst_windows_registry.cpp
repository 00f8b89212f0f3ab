// The registry side on Windows, against the real registry: a REGEDIT4 file (Windows-1252,
// as regedit writes that format) and a Unicode one are imported with "regedit /S", then
// read back through openSystemRegistry(): accented names and texts, texts outside
// Windows-1252, dwords, an expandable text left as stored, missing keys and values,
// values of the wrong kind, and the 32-bit view of the machine's keys, where a 32-bit
// installer's keys are on a 64-bit Windows.
#include "WinCheck.h"
#include "platform/Registry.h"

using enum platform::RegistryRoot;
using enum platform::RegistryValueStatus;

namespace {

const char RegFile[] = "REGEDIT4\r\n\r\n"
                       "[-HKEY_CURRENT_USER\\Software\\ScrivoTest]\r\n"
                       "[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\ScrivoTest]\r\n"
                       "[-HKEY_LOCAL_MACHINE\\Software\\ScrivoTest]\r\n\r\n"
                       "[HKEY_CURRENT_USER\\Software\\ScrivoTest\\Cnx]\r\n"
                       "\"Modele\"=\"C:\\\\Mod\xe8les\\\\\xa3 \x80 \x95\"\r\n"
                       "\"Port\"=dword:00000bea\r\n"
                       "\"WPAutreOrdo\"=dword:ffffffff\r\n"
                       "\"Vide\"=\"\"\r\n"
                       "\"Chemin\"=hex(2):25,54,45,4d,50,25,5c,78,00\r\n"
                       "\"Binaire\"=hex:01,02\r\n\r\n"
                       "[HKEY_CURRENT_USER\\Software\\ScrivoTest\\Mod\xe8les]\r\n"
                       "\"Cl\xe9\"=\"\xe9t\xe9\"\r\n\r\n"
                       "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\ScrivoTest]\r\n"
                       "\"cnxregmode\"=dword:00000001\r\n\r\n"
                       "[HKEY_LOCAL_MACHINE\\Software\\ScrivoTest\\Vue64]\r\n"
                       "\"Seule\"=\"64\"\r\n";

// The same format's Unicode version (UTF-16), for texts outside Windows-1252.
std::string UnicodeRegFile()
{
    const std::wstring text = wincheck::wide("Windows Registry Editor Version 5.00\r\n\r\n"
                                             "[HKEY_CURRENT_USER\\Software\\ScrivoTest\\Łódź]\r\n"
                                             "\"Ville\"=\"Łódź — compte rendu\"\r\n");
    return std::string("\xFF\xFE", 2) + std::string(reinterpret_cast<const char *>(text.data()), text.size() * 2);
}

bool importRegFile(const std::string &content)
{
    const std::string path = wincheck::tempPath("scrivo-test.reg");
    wincheck::writeFile(path, content);
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
    DeleteFileW(wincheck::wide(path).c_str());
    return code == 0;
}

const char *const Cnx = "Software\\ScrivoTest\\Cnx";

// A text's value, or a part of the error text for a value of the wrong kind.
const struct {
    const char *what;
    platform::RegistryRoot root;
    const char *key, *name;
    bool dword;
    platform::RegistryValueStatus status;
    std::string text;
    std::uint32_t number;
} Cases[] = {
    {"accented text", CurrentUser, Cnx, "Modele", false, Found, "C:\\Modèles\\£ € •", 0},
    {"names without regard to case", CurrentUser, "SOFTWARE\\scrivotest\\cnx", "MODELE", false, Found, "C:\\Modèles\\£ € •", 0},
    {"accented key and value names", CurrentUser, "Software\\ScrivoTest\\Modèles", "Clé", false, Found, "été", 0},
    {"empty text", CurrentUser, Cnx, "Vide", false, Found, "", 0},
    {"expandable text as stored", CurrentUser, Cnx, "Chemin", false, Found, "%TEMP%\\x", 0},
    {"dword", CurrentUser, Cnx, "Port", true, Found, "", 3050},
    {"dword -1", CurrentUser, Cnx, "WPAutreOrdo", true, Found, "", 0xFFFFFFFF},
    {"missing value", CurrentUser, Cnx, "Absente", false, NotFound, "", 0},
    {"text read as dword", CurrentUser, Cnx, "Modele", true, WrongKind, "'Modele' : dword attendu, texte trouvé", 0},
    {"dword read as text", CurrentUser, Cnx, "Port", false, WrongKind, "'Port' : texte attendu, dword trouvé", 0},
    {"binary read as dword", CurrentUser, Cnx, "Binaire", true, WrongKind, "binaire trouvé", 0},
    {"machine key in the 32-bit view", LocalMachine, "Software\\ScrivoTest", "cnxregmode", true, Found, "", 1},
    {"key and text outside Windows-1252", CurrentUser, "Software\\ScrivoTest\\Łódź", "Ville", false, Found,
     "Łódź — compte rendu", 0},
};

} // namespace

int main()
{
    if (!CHECK(importRegFile(RegFile)) || !CHECK(importRegFile(UnicodeRegFile())))
        return wincheck::finish("tst_windows_registry");
    const auto registry = platform::openSystemRegistry("Keldar");
    for (const auto &c : Cases) {
        wincheck::context = c.what;
        std::string error;
        const auto key = registry->openKey(c.root, c.key, error);
        if (!CHECK(key != nullptr))
            continue;
        std::string text;
        std::uint32_t number = 0;
        CHECK_EQ(c.dword ? key->readDword(c.name, number, error) : key->readString(c.name, text, error), c.status);
        if (c.status == WrongKind && !CHECK(error.find(c.text) != std::string::npos))
            std::printf("  error: %s\n", error.c_str());
        if (c.status != WrongKind)
            c.dword ? CHECK_EQ(number, c.number) : CHECK_EQ(text, c.text);
    }

    // Missing keys are no error, and are not created by the search; the machine's keys
    // of the 64-bit view are not the practice application's.
    for (const auto &[root, path] : {std::pair{CurrentUser, "Software\\ScrivoTest\\Absente"},
                                     std::pair{LocalMachine, "Software\\ScrivoTest\\Vue64"}}) {
        wincheck::context = path;
        std::string error = "?";
        CHECK(registry->openKey(root, path, error) == nullptr);
        CHECK_EQ(error, "");
        CHECK(registry->openKey(root, path, error) == nullptr);
    }
    return wincheck::finish("tst_windows_registry");
}
