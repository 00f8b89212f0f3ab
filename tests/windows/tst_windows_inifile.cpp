// INI files on Windows, through the real profile-string service: the rules the central
// parameter file is written for (names without regard to case, first occurrence, quotes
// dropped, missing keys read as the default, no escapes, no inline comments), its
// Windows-1252 and UTF-8 texts, and files that cannot be read.
#include "WinCheck.h"
#include "platform/IniFile.h"

#include <cstdio>
#include <windows.h>

namespace {

struct Case {
    const char *what;
    std::string content;
    const char *section;
    const char *key;
    const char *expected;
};

const Case Cases[] = {
    {"names without regard to case", "[Cnx]\r\nDataBaseName=base\r\n", "CNX", "databasename", "base"},
    {"blanks around names and value", "[ CNX ]\r\n  Host \t=  srv 1 \r\n", "cnx", "HOST", "srv 1"},
    {"first line of a key wins", "[CNX]\r\nHost=a\r\nHost=b\r\n", "CNX", "Host", "a"},
    {"missing key", "[CNX]\r\nHost=a\r\n", "CNX", "Port", ""},
    {"missing section", "[CNX]\r\nHost=a\r\n", "CHEMINS", "Host", ""},
    {"double quotes dropped, backslashes kept", "[C]\r\nModele=\"\\\\srv\\n modeles\\\"\r\n", "C", "Modele",
     "\\\\srv\\n modeles\\"},
    {"single quotes dropped", "[C]\r\nK='a b'\r\n", "C", "K", "a b"},
    {"unbalanced quote kept", "[C]\r\nK=\"abc\r\n", "C", "K", "\"abc"},
    {"no inline comment", "[C]\r\nHost=srv ; serveur # 2\r\n", "C", "Host", "srv ; serveur # 2"},
    {"value holding equals", "[C]\r\nPassWord=a=b\r\n", "C", "PassWord", "a=b"},
    {"Windows-1252", "[CHEMINS]\r\nModele=C:\\Mod\xe8les \x95 \xa3\r\n", "chemins", "modele", "C:\\Modèles • £"},
    {"UTF-8", "[CHEMINS]\r\nModele=C:\\Mod\xc3\xa8les\r\n", "CHEMINS", "Modele", "C:\\Modèles"},
    {"UTF-16 byte-order mark", std::string("\xFF\xFE[\0C\0]\0\r\0\n\0K\0=\0\xE9\0", 18), "c", "k", "é"},
};

std::string tempFolder()
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

void writeFile(const std::string &path, const std::string &content)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

} // namespace

int main()
{
    const std::string path = tempFolder() + "scrivo-test.ini";
    for (const Case &c : Cases) {
        wincheck::context = c.what;
        writeFile(path, c.content);
        platform::IniFile file;
        std::string error;
        if (CHECK(file.load(path, error)))
            CHECK_EQ(file.readString(c.section, c.key), std::string(c.expected));
    }

    wincheck::context = "default for missing keys only";
    writeFile(path, "[C]\r\nEmpty=\r\n");
    platform::IniFile file;
    std::string error;
    CHECK(file.load(path, error));
    CHECK_EQ(file.readString("C", "Empty", "d"), "");
    CHECK_EQ(file.readString("C", "Absent", "d"), "d");

    wincheck::context = "a relative path names a file of the current folder";
    SetCurrentDirectoryA(tempFolder().c_str());
    writeFile(path, "[CNX]\r\nLogin=SYSDBA\r\n");
    CHECK(file.load("scrivo-test.ini", error));
    CHECK_EQ(file.readString("cnx", "login"), "SYSDBA");

    wincheck::context = "files that cannot be read";
    const std::string missing = tempFolder() + "scrivo-absent.ini";
    CHECK(!file.load(missing, error));
    CHECK(error.starts_with("Impossible de lire le fichier <" + missing + "> : "));
    CHECK_EQ(file.readString("cnx", "Login"), ""); // nothing left of the earlier file
    CHECK(!file.load(tempFolder(), error));
    DeleteFileA(path.c_str());
    return wincheck::finish("tst_windows_inifile");
}
