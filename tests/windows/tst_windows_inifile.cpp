// INI files on Windows, read once by the program's own reader with the rules of the
// profile-string service that the central parameter file is written for (names without
// regard to case, first occurrence, quotes dropped, missing keys read as the default, no
// escapes, no inline comments), its Windows-1252, UTF-8 and UTF-16 texts, relative and
// long Unicode paths, and files that cannot be read.
#include "WinCheck.h"
#include "platform/IniFile.h"

namespace {

const struct {
    const char *what;
    std::string content;
    const char *section, *key, *expected;
} Cases[] = {
    {"names without regard to case", "[Cnx]\r\nDataBaseName=base\r\n", "CNX", "databasename", "base"},
    {"blanks around names and value", "[ CNX ]\r\n  Host \t=  srv 1 \r\n", "cnx", "HOST", "srv 1"},
    {"first line of a key wins", "[CNX]\r\nHost=a\r\nHost=b\r\n", "CNX", "Host", "a"},
    {"missing key", "[CNX]\r\nHost=a\r\n", "CNX", "Port", ""},
    {"missing section", "[CNX]\r\nHost=a\r\n", "CHEMINS", "Host", ""},
    {"double quotes dropped, backslashes kept", "[C]\r\nM=\"\\\\srv\\n m\\\"\r\n", "C", "M", "\\\\srv\\n m\\"},
    {"single quotes dropped", "[C]\r\nK='a b'\r\n", "C", "K", "a b"},
    {"unbalanced quote kept", "[C]\r\nK=\"abc\r\n", "C", "K", "\"abc"},
    {"no inline comment", "[C]\r\nHost=srv ; serveur # 2\r\n", "C", "Host", "srv ; serveur # 2"},
    {"value holding equals", "[C]\r\nPassWord=a=b\r\n", "C", "PassWord", "a=b"},
    {"Windows-1252", "[CHEMINS]\r\nModele=C:\\Mod\xe8les \x95 \xa3\r\n", "chemins", "modele", "C:\\Modèles • £"},
    {"UTF-8", "[CHEMINS]\r\nModele=C:\\Mod\xc3\xa8les\r\n", "CHEMINS", "Modele", "C:\\Modèles"},
    {"UTF-16 byte-order mark", std::string("\xFF\xFE[\0C\0]\0\r\0\n\0K\0=\0\xE9\0", 18), "c", "k", "é"},
    {"UTF-16 text outside Windows-1252", std::string("\xFF\xFE[\0C\0]\0\r\0\n\0K\0=\0\x41\x01\xF3\0", 20), "c", "k", "Łó"},
};

} // namespace

int main()
{
    const std::string path = wincheck::tempPath("scrivo-test.ini");
    platform::IniFile file;
    std::string error;
    for (const auto &c : Cases) {
        wincheck::context = c.what;
        wincheck::writeFile(path, c.content);
        if (CHECK(file.load(path, error)))
            CHECK_EQ(file.readString(c.section, c.key), std::string(c.expected));
    }

    wincheck::context = "default for missing keys only";
    wincheck::writeFile(path, "[C]\r\nEmpty=\r\n");
    CHECK(file.load(path, error));
    CHECK_EQ(file.readString("C", "Empty", "d"), "");
    CHECK_EQ(file.readString("C", "Absent", "d"), "d");

    wincheck::context = "a relative path names a file of the current folder";
    SetCurrentDirectoryA(wincheck::tempPath("").c_str());
    CHECK(file.load("scrivo-test.ini", error));
    CHECK_EQ(file.readString("c", "empty", "d"), "");

    // A file on a share that stops answering is not read again for each value.
    wincheck::context = "read once, when loaded";
    wincheck::writeFile(path, "[C]\r\nK=avant\r\n");
    CHECK(file.load(path, error));
    wincheck::writeFile(path, "[C]\r\nK=apres\r\n");
    CHECK_EQ(file.readString("C", "K"), "avant");

    wincheck::context = "a file name outside Windows-1252, in a folder of a long name";
    const std::string folder = wincheck::tempPath(std::string(120, 'd') + "\\" + std::string(120, 'e'));
    CreateDirectoryW(wincheck::wide(wincheck::tempPath(std::string(120, 'd'))).c_str(), nullptr);
    CreateDirectoryW(wincheck::wide(folder).c_str(), nullptr);
    const std::string unicodePath = folder + "\\Łódź — paramètres.ini";
    wincheck::writeFile(unicodePath, "[C]\r\nK=v\r\n");
    if (CHECK(file.load(unicodePath, error)))
        CHECK_EQ(file.readString("C", "K"), "v");

    wincheck::context = "files that cannot be read";
    const std::string missing = wincheck::tempPath("scrivo-absent.ini");
    CHECK(!file.load(missing, error));
    CHECK(error.starts_with("Impossible de lire le fichier <" + missing + "> : "));
    CHECK_EQ(file.readString("C", "Empty", "d"), "d"); // nothing left of the earlier file
    CHECK(!file.load(wincheck::tempPath(""), error));
    DeleteFileA(path.c_str());
    return wincheck::finish("tst_windows_inifile");
}
