#include "RegFileRegistry.h"

#include "platform/TextDecoding.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <sys/stat.h>

namespace platform {

namespace {

constexpr std::size_t MaxFileSize = 16 * 1024 * 1024;
constexpr std::string_view Header4 = "REGEDIT4";
constexpr std::string_view Header5 = "Windows Registry Editor Version 5.00";

std::string rootName(RegistryRoot root)
{
    return root == RegistryRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// The lines of a text; CR LF, LF and a lone CR end a line.
std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// "a\\b\" -> "a\b": folded path of a key, empty parts dropped.
std::string normalisePath(std::string_view path)
{
    std::string result;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (!part.empty()) {
            if (!result.empty())
                result += '\\';
            result += foldCase(part);
        }
        start = end + 1;
    }
    return result;
}

bool hexDigit(char c, int &value)
{
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else
        return false;
    return true;
}

bool parseHexNumber(std::string_view text, std::uint32_t &value, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return false;
    value = 0;
    for (const char c : text) {
        int digit = 0;
        if (!hexDigit(c, digit))
            return false;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return true;
}

class Parser {
public:
    Parser(RegistryRoot root, const std::string &fileName, RegFileTree &tree)
        : FRoot(root), FFileName(fileName), FTree(tree)
    {
    }

    bool parse(std::string_view text, std::string &error)
    {
        FLines = splitLines(text);
        std::size_t i = 0;
        while (i < FLines.size() && trimBlanks(FLines[i]).empty())
            ++i;
        if (i == FLines.size())
            return true; // an empty file holds no key
        const std::string_view header = trimBlanks(FLines[i]);
        if (header == Header5)
            FUnicode = true;
        else if (header != Header4)
            return fail(i, "en-tête \"REGEDIT4\" ou \"Windows Registry Editor Version 5.00\" attendu", error);

        for (++i; i < FLines.size(); ++i) {
            const std::string_view line = trimBlanks(FLines[i]);
            bool ok = true;
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[')
                ok = parseKey(line);
            else if (line.front() == '"' || line.front() == '@')
                ok = parseValue(line, i);
            else
                FReason = "ligne incompréhensible";
            if (!ok || !FReason.empty())
                return fail(FReasonLine ? FReasonLine : i, FReason, error);
        }
        return true;
    }

private:
    bool fail(std::size_t lineIndex, const std::string &reason, std::string &error)
    {
        error = "Le fichier de registre <" + FFileName + "> est incorrect à la ligne " + std::to_string(lineIndex + 1)
            + " : " + reason + ".";
        return false;
    }

    bool setReason(const std::string &reason)
    {
        FReason = reason;
        return false;
    }

    bool parseKey(std::string_view line)
    {
        if (line.back() != ']')
            return setReason("crochet fermant \"]\" manquant");
        std::string_view inner = line.substr(1, line.size() - 2);
        const bool deletion = !inner.empty() && inner.front() == '-';
        if (deletion)
            inner.remove_prefix(1);
        const std::size_t slash = inner.find('\\');
        const std::string_view root = inner.substr(0, slash);
        const std::string expected = rootName(FRoot);
        if (foldCase(root) != foldCase(expected))
            return setReason("la clé [" + std::string(inner) + "] n'est pas sous " + expected
                             + ", la racine que ce fichier décrit");
        const std::string path = normalisePath(slash == std::string_view::npos ? std::string_view() : inner.substr(slash + 1));
        FCurrent = nullptr;
        if (deletion) {
            // "[-KEY]" removes the key and its subkeys; values that follow are ignored.
            for (auto it = FTree.keys.begin(); it != FTree.keys.end();) {
                const bool under = it->first == path || path.empty() || it->first.starts_with(path + '\\');
                it = under ? FTree.keys.erase(it) : std::next(it);
            }
            FInDeletedKey = true;
            return true;
        }
        FInDeletedKey = false;
        // A key's parents exist in the registry even when the file lists only the key.
        for (std::size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1))
            FTree.keys[path.substr(0, pos)];
        FCurrent = &FTree.keys[path];
        return true;
    }

    // A quoted text starting at `pos` (on the quote); \\ and \" are escapes, any other
    // backslash is kept as written.
    bool parseQuoted(std::string_view line, std::size_t &pos, std::string &out)
    {
        out.clear();
        for (++pos; pos < line.size(); ++pos) {
            const char c = line[pos];
            if (c == '"') {
                ++pos;
                return true;
            }
            if (c == '\\' && pos + 1 < line.size() && (line[pos + 1] == '\\' || line[pos + 1] == '"'))
                ++pos;
            out += line[pos];
        }
        return false;
    }

    bool parseValue(std::string_view line, std::size_t &lineIndex)
    {
        if (!FCurrent && !FInDeletedKey)
            return setReason("valeur en dehors de toute clé");
        std::string name;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!parseQuoted(line, pos, name)) {
            return setReason("guillemet fermant manquant dans le nom de la valeur");
        }
        const std::string_view rest = trimBlanks(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            return setReason("signe \"=\" attendu après le nom de la valeur");
        const std::string_view data = trimBlanks(rest.substr(1));

        RegFileValue value;
        bool remove = false;
        if (!data.empty() && data.front() == '"') {
            std::size_t p = 0;
            if (!parseQuoted(data, p, value.text))
                return setReason("guillemet fermant manquant dans le texte de la valeur");
            if (!trimBlanks(data.substr(p)).empty())
                return setReason("caractères inattendus après le texte de la valeur");
            value.type = RegSz;
        } else if (data == "-") {
            remove = true;
        } else if (data.starts_with("dword:")) {
            if (!parseHexNumber(trimBlanks(data.substr(6)), value.dword, 8))
                return setReason("valeur dword incorrecte (jusqu'à 8 chiffres hexadécimaux attendus)");
            value.type = RegDword;
        } else if (data.starts_with("hex")) {
            if (!parseHex(data, lineIndex, value))
                return false;
        } else {
            return setReason("type de valeur inconnu");
        }
        if (FInDeletedKey)
            return true;
        const std::string key = foldCase(name);
        if (remove)
            FCurrent->erase(key);
        else
            (*FCurrent)[key] = std::move(value);
        return true;
    }

    // hex:..., hex(N):... with comma-separated bytes; a line ending in "\" continues on
    // the next one.
    bool parseHex(std::string_view data, std::size_t &lineIndex, RegFileValue &value)
    {
        const std::size_t firstLine = lineIndex;
        std::uint32_t type = RegBinary;
        std::size_t colon = data.find(':');
        if (colon == std::string_view::npos)
            return setReason("type de valeur inconnu");
        const std::string_view kind = data.substr(0, colon);
        if (kind != "hex") {
            if (!kind.starts_with("hex(") || !kind.ends_with(")")
                || !parseHexNumber(kind.substr(4, kind.size() - 5), type, 8))
                return setReason("type de valeur inconnu");
        }
        std::string bytesText(trimBlanks(data.substr(colon + 1)));
        while (!bytesText.empty() && bytesText.back() == '\\') {
            bytesText.pop_back();
            if (++lineIndex >= FLines.size()) {
                FReasonLine = firstLine;
                return setReason("suite de la valeur hexadécimale manquante en fin de fichier");
            }
            bytesText += trimBlanks(FLines[lineIndex]);
        }

        std::vector<std::uint8_t> bytes;
        std::stringstream items(bytesText);
        std::string item;
        while (std::getline(items, item, ',')) {
            const std::string_view digits = trimBlanks(item);
            std::uint32_t byte = 0;
            if (digits.empty() && items.eof())
                break; // a trailing comma
            if (!parseHexNumber(digits, byte, 2)) {
                FReasonLine = firstLine;
                return setReason("octet hexadécimal incorrect \"" + std::string(digits) + "\"");
            }
            bytes.push_back(static_cast<std::uint8_t>(byte));
        }

        value.type = type;
        if (type == RegSz || type == RegExpandSz) {
            value.text = bytesToText(bytes);
        } else if (type == RegDword) {
            if (bytes.size() != 4) {
                FReasonLine = firstLine;
                return setReason("une valeur hex(4) doit compter 4 octets");
            }
            value.dword = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
        } else {
            value.bytes = std::move(bytes);
        }
        return true;
    }

    // The text of a string given as bytes: UTF-16 in the version 5 format, the ANSI code
    // page in REGEDIT4; it ends at its terminating zero.
    std::string bytesToText(const std::vector<std::uint8_t> &bytes) const
    {
        std::string raw(bytes.begin(), bytes.end());
        if (FUnicode) {
            std::size_t end = 0;
            while (end + 1 < raw.size() && (raw[end] != 0 || raw[end + 1] != 0))
                end += 2;
            return decodeTextFile("\xFF\xFE" + raw.substr(0, end));
        }
        return decodeText(raw.substr(0, raw.find('\0')));
    }

    RegistryRoot FRoot;
    const std::string &FFileName;
    RegFileTree &FTree;
    std::vector<std::string_view> FLines;
    std::map<std::string, RegFileValue> *FCurrent = nullptr;
    bool FInDeletedKey = false;
    bool FUnicode = false;
    std::string FReason;
    std::size_t FReasonLine = 0;
};

std::string kindName(std::uint32_t type)
{
    switch (type) {
    case RegNone: return "aucun";
    case RegSz: return "texte";
    case RegExpandSz: return "texte extensible";
    case RegBinary: return "binaire";
    case RegDword: return "dword";
    case RegDwordBigEndian: return "dword gros-boutiste";
    case RegMultiSz: return "textes multiples";
    case RegQword: return "qword";
    default: return "type " + std::to_string(type);
    }
}

std::string wrongKind(const std::string &name, const char *expected, std::uint32_t found)
{
    return "Type de données incorrect pour la valeur '" + name + "' : " + expected + " attendu, " + kindName(found)
        + " trouvé.";
}

class RegFileKey : public RegistryKey {
public:
    RegFileKey(std::shared_ptr<const RegFileTree> tree, const std::map<std::string, RegFileValue> *values)
        : FTree(std::move(tree)), FValues(values)
    {
    }

    RegistryValueStatus readString(const std::string &name, std::string &value, std::string &error) const override
    {
        const RegFileValue *found = find(name);
        if (!found)
            return RegistryValueStatus::NotFound;
        if (found->type != RegSz && found->type != RegExpandSz) {
            error = wrongKind(name, "texte", found->type);
            return RegistryValueStatus::WrongKind;
        }
        value = found->text;
        return RegistryValueStatus::Found;
    }

    RegistryValueStatus readDword(const std::string &name, std::uint32_t &value, std::string &error) const override
    {
        const RegFileValue *found = find(name);
        if (!found)
            return RegistryValueStatus::NotFound;
        if (found->type != RegDword) {
            error = wrongKind(name, "dword", found->type);
            return RegistryValueStatus::WrongKind;
        }
        value = found->dword;
        return RegistryValueStatus::Found;
    }

private:
    const RegFileValue *find(const std::string &name) const
    {
        const auto it = FValues->find(foldCase(name));
        return it == FValues->end() ? nullptr : &it->second;
    }

    std::shared_ptr<const RegFileTree> FTree; // keeps FValues alive
    const std::map<std::string, RegFileValue> *FValues;
};

// Reads and parses one root's file; a missing file is an empty tree.
std::shared_ptr<const RegFileTree> loadTree(const std::string &fileName, RegistryRoot root, std::string &error)
{
    auto tree = std::make_shared<RegFileTree>();
    struct stat info {};
    if (::stat(fileName.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return tree;
        error = "Impossible de lire le fichier de registre <" + fileName + "> : " + std::strerror(errno) + ".";
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "Le fichier de registre <" + fileName + "> n'est pas un fichier ordinaire.";
        return nullptr;
    }
    if (static_cast<std::size_t>(info.st_size) > MaxFileSize) {
        error = "Le fichier de registre <" + fileName + "> est trop volumineux pour être un fichier de registre.";
        return nullptr;
    }
    std::string bytes;
    std::string reason;
    if (!readFileBytes(fileName, bytes, reason, MaxFileSize)) {
        error = "Impossible de lire le fichier de registre <" + fileName + "> : " + reason + ".";
        return nullptr;
    }
    if (!parseRegFile(bytes, root, fileName, *tree, error))
        return nullptr;
    return tree;
}

std::string homeFolder()
{
    const char *home = std::getenv("HOME");
    return home ? home : "";
}

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

} // namespace

bool parseRegFile(std::string_view bytes, RegistryRoot root, const std::string &fileName, RegFileTree &tree,
                  std::string &error)
{
    const std::string text = decodeTextFile(bytes);
    Parser parser(root, fileName, tree);
    return parser.parse(text, error);
}

RegFileRegistry::RegFileRegistry(std::string userFile, std::string machineFile)
    : FUserFile(std::move(userFile))
    , FMachineFile(std::move(machineFile))
{
}

std::string RegFileRegistry::defaultUserFile(const std::string &company)
{
    if (std::string named = environment("SCRIVO_HKCU_FILE"); !named.empty())
        return named;
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty())
        config = homeFolder() + "/.config";
    return config + "/" + company + "/registry.reg";
}

std::string RegFileRegistry::defaultMachineFile(const std::string &company)
{
    if (std::string named = environment("SCRIVO_HKLM_FILE"); !named.empty())
        return named;
    return "/etc/xdg/" + company + "/registry.reg";
}

const std::string &RegFileRegistry::fileOf(RegistryRoot root) const
{
    return root == RegistryRoot::CurrentUser ? FUserFile : FMachineFile;
}

std::unique_ptr<RegistryKey> RegFileRegistry::openKey(RegistryRoot root, const std::string &path, std::string &error)
{
    error.clear();
    const std::shared_ptr<const RegFileTree> tree = loadTree(fileOf(root), root, error);
    if (!tree)
        return nullptr;
    const auto it = tree->keys.find(normalisePath(path));
    if (it == tree->keys.end())
        return nullptr;
    return std::make_unique<RegFileKey>(tree, &it->second);
}

std::string RegFileRegistry::whereKeysAre(RegistryRoot root) const
{
    const std::string &fileName = fileOf(root);
    const char *variable = root == RegistryRoot::CurrentUser ? "SCRIVO_HKCU_FILE" : "SCRIVO_HKLM_FILE";
    struct stat info {};
    const bool exists = ::stat(fileName.c_str(), &info) == 0;
    return (exists ? "Clé cherchée dans le fichier de registre <" + fileName + ">"
                   : "Le fichier de registre <" + fileName + "> n'existe pas")
           + " (la variable " + variable + " peut désigner un autre fichier).";
}

std::unique_ptr<Registry> openSystemRegistry(const std::string &company)
{
    return std::make_unique<RegFileRegistry>(RegFileRegistry::defaultUserFile(company),
                                             RegFileRegistry::defaultMachineFile(company));
}

} // namespace platform
