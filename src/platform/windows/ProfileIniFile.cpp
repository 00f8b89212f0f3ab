// INI files on Windows: the profile-string service itself (GetPrivateProfileStringW)
// applies its rules at each read. Loading only checks that the file can be opened and
// keeps its full path (a relative one would be looked for in the Windows folder; a long
// one is shortened); any character of a path or name comes through. The service decodes an ANSI file with the
// ANSI code page: such a value is taken back to its bytes and read as UTF-8 when they
// are valid UTF-8, else as Windows-1252, as on Linux; a Unicode file's text is kept.
#include "platform/IniFile.h"

#include "AnsiText.h"
#include "platform/TextDecoding.h"

#include <windows.h>

namespace platform {

namespace {
constexpr DWORD FirstBufferSize = 1024;
constexpr DWORD MaxBufferSize = 1024 * 1024;
} // namespace

bool IniFile::load(const std::string &path, std::string &error)
{
    FPath.clear();
    const std::wstring widePath = win::toWide(path);
    const HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "Impossible de lire le fichier <" + path + "> : " + win::systemMessage(GetLastError()) + ".";
        return false;
    }
    CloseHandle(file);
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(widePath.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.assign(length, L'\0');
        length = GetFullPathNameW(widePath.c_str(), length, full.data(), nullptr);
    }
    full.resize(length);
    // The profile service reads no path of MAX_PATH characters or more: such a file is
    // named by its short (8.3) path, where the volume keeps those.
    if (full.size() >= MAX_PATH) {
        std::wstring shortPath(full.size() + 1, L'\0');
        const DWORD shortLength = GetShortPathNameW(full.c_str(), shortPath.data(), DWORD(shortPath.size()));
        if (shortLength > 0 && shortLength < MAX_PATH)
            full.assign(shortPath.data(), shortLength);
    }
    FPath = full.empty() ? path : win::fromWide(full);
    return true;
}

std::string IniFile::readString(const std::string &section, const std::string &key,
                                const std::string &defaultValue) const
{
    if (FPath.empty())
        return defaultValue;
    const std::wstring wideSection = win::toWide(section);
    const std::wstring wideKey = win::toWide(key);
    const std::wstring wideDefault = win::toWide(defaultValue);
    const std::wstring widePath = win::toWide(FPath);
    std::wstring buffer;
    DWORD length = 0;
    // The service answers size - 1 when the value did not fit: ask again with more room.
    for (DWORD size = FirstBufferSize;; size *= 2) {
        buffer.assign(size, L'\0');
        length = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideDefault.c_str(), buffer.data(),
                                          size, widePath.c_str());
        if (length + 1 < size || size >= MaxBufferSize)
            break;
    }
    buffer.resize(length);
    std::string bytes;
    if (win::toAnsiCodePageExactly(buffer, bytes))
        return decodeText(bytes);
    return win::fromWide(buffer);
}

} // namespace platform
