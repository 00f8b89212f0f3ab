#include "IniFile.h"

#include "TextDecoding.h"

namespace platform {

namespace {
constexpr std::size_t MaxFileSize = 16 * 1024 * 1024;
}

bool IniFile::load(const std::string &path, std::string &error)
{
    FSections.clear();
    std::string bytes;
    std::string reason;
    if (!readFileBytes(path, bytes, reason, MaxFileSize)) {
        error = "Impossible de lire le fichier <" + path + "> : " + reason + ".";
        return false;
    }
    loadBytes(bytes);
    return true;
}

void IniFile::loadBytes(std::string_view bytes)
{
    FSections.clear();
    const std::string text = decodeTextFile(bytes);
    Section *current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = trimBlanks(std::string_view(text).substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);

        if (line.starts_with('[')) {
            std::string_view name = line.substr(1);
            name = trimBlanks(name.substr(0, name.find(']')));
            FSections.push_back({foldCase(name), {}});
            current = &FSections.back();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos || line.starts_with(';'))
            continue;
        std::string_view value = trimBlanks(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        current->entries.push_back({foldCase(trimBlanks(line.substr(0, equals))), std::string(value)});
    }
}

std::string IniFile::readString(const std::string &section, const std::string &key,
                                 const std::string &defaultValue) const
{
    const std::string sectionName = foldCase(trimBlanks(section));
    const std::string keyName = foldCase(trimBlanks(key));
    for (const Section &s : FSections) {
        if (s.name != sectionName)
            continue;
        for (const Entry &entry : s.entries)
            if (entry.key == keyName)
                return entry.value;
        break; // only the first section of that name is read
    }
    return defaultValue;
}

} // namespace platform
