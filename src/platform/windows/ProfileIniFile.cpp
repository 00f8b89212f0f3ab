// INI files on Windows: the profile-string service itself (GetPrivateProfileStringA)
// applies its rules at each read. Loading only checks that the file can be opened and
// keeps its full path (a relative one would be looked for in the Windows folder).
// Names go to the service as Windows-1252; a value comes back as bytes, read as UTF-8
// when they are valid UTF-8, else as Windows-1252, as on Linux.
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
    const std::string ansiPath = win::toAnsi(path);
    const HANDLE file = CreateFileA(ansiPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "Impossible de lire le fichier <" + path + "> : " + win::systemMessage(GetLastError()) + ".";
        return false;
    }
    CloseHandle(file);
    std::string full(MAX_PATH, '\0');
    DWORD length = GetFullPathNameA(ansiPath.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.assign(length, '\0');
        length = GetFullPathNameA(ansiPath.c_str(), length, full.data(), nullptr);
    }
    full.resize(length);
    FPath = full.empty() ? ansiPath : full;
    return true;
}

std::string IniFile::readString(const std::string &section, const std::string &key,
                                const std::string &defaultValue) const
{
    if (FPath.empty())
        return defaultValue;
    const std::string ansiSection = win::toAnsi(section);
    const std::string ansiKey = win::toAnsi(key);
    const std::string ansiDefault = win::toAnsi(defaultValue);
    std::string buffer;
    DWORD length = 0;
    // The service answers size - 1 when the value did not fit: ask again with more room.
    for (DWORD size = FirstBufferSize;; size *= 2) {
        buffer.assign(size, '\0');
        length = GetPrivateProfileStringA(ansiSection.c_str(), ansiKey.c_str(), ansiDefault.c_str(), buffer.data(),
                                          size, FPath.c_str());
        if (length + 1 < size || size >= MaxBufferSize)
            break;
    }
    buffer.resize(length);
    return decodeText(buffer);
}

} // namespace platform
