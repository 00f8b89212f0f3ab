#include "TextDecoding.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>

#ifdef _WIN32
#include "platform/windows/AnsiText.h"

#include <windows.h>
#endif

namespace platform {

namespace {

// Code points of the bytes 0x80 to 0x9F in Windows-1252; the unassigned ones keep
// their own value (C1 controls).
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes the UTF-8 sequence at `i`; false when it is malformed. `i` moves past it.
bool nextCodePoint(std::string_view s, std::size_t &i, char32_t &cp)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        ++i;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
        min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
        min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (i + length > s.size())
        return false;
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    i += length;
    return true;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t k) -> char16_t {
        const auto b0 = static_cast<unsigned char>(bytes[k]);
        const auto b1 = static_cast<unsigned char>(bytes[k + 1]);
        return bigEndian ? static_cast<char16_t>(b0 << 8 | b1) : static_cast<char16_t>(b1 << 8 | b0);
    };
    const std::size_t end = bytes.size() & ~std::size_t(1);
    for (std::size_t k = 0; k < end; k += 2) {
        const char16_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 2 < end) {
            const char16_t low = unit(k + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
                k += 2;
                continue;
            }
        }
        appendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(u));
    }
    return out;
}

char32_t foldCodePoint(char32_t cp)
{
    if (cp >= 'A' && cp <= 'Z')
        return cp + 0x20;
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 0x20;
    if (cp == 0x178)
        return 0xFF;
    // Latin Extended-A: upper case on the even code point of a pair, except in the two
    // runs where the pairs start on an odd one.
    if ((cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
        return (cp % 2 == 0) ? cp + 1 : cp;
    if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E))
        return (cp % 2 == 1) ? cp + 1 : cp;
    return cp;
}

} // namespace

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    char32_t cp = 0;
    while (i < bytes.size())
        if (!nextCodePoint(bytes, i, cp))
            return false;
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xA0)
            appendUtf8(out, Cp1252High[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

std::string decodeText(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return windows1252ToUtf8(bytes);
}

std::string decodeTextFile(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE"))
        return utf16ToUtf8(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return utf16ToUtf8(bytes.substr(2), true);
    return decodeText(bytes);
}

std::string foldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t start = i;
        char32_t cp = 0;
        if (!nextCodePoint(utf8, i, cp)) {
            out += utf8[start]; // not UTF-8: kept byte for byte
            i = start + 1;
            continue;
        }
        appendUtf8(out, foldCodePoint(cp));
    }
    return out;
}

#ifdef _WIN32
// Windows: the file named in UTF-8, any character and any length of path through the
// wide functions (a path too long for the plain form is given in the "\\?\" form); the
// reason in the system's words.
bool readFileBytes(const std::string &path, std::string &bytes, std::string &reason, std::size_t maxSize)
{
    bytes.clear();
    std::wstring name = win::toWide(path);
    if (name.size() >= MAX_PATH) {
        std::wstring full(GetFullPathNameW(name.c_str(), 0, nullptr, nullptr), L'\0');
        full.resize(GetFullPathNameW(name.c_str(), DWORD(full.size()), full.data(), nullptr));
        name = full.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    }
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = win::systemMessage(GetLastError());
        return false;
    }
    bool ok = true;
    char buffer[65536];
    for (DWORD got = 0;; bytes.append(buffer, got)) {
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            reason = win::systemMessage(GetLastError());
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (bytes.size() + got > maxSize) {
            reason = "fichier trop volumineux";
            ok = false;
            break;
        }
    }
    CloseHandle(file);
    return ok;
}
#else
bool readFileBytes(const std::string &path, std::string &bytes, std::string &reason, std::size_t maxSize)
{
    bytes.clear();
    errno = 0;
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    char buffer[65536];
    std::size_t got = 0;
    bool ok = true;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (bytes.size() + got > maxSize) {
            reason = "fichier trop volumineux";
            ok = false;
            break;
        }
        bytes.append(buffer, got);
    }
    if (ok && std::ferror(file)) {
        reason = errno ? std::strerror(errno) : "erreur de lecture";
        ok = false;
    }
    std::fclose(file);
    return ok;
}
#endif

std::string_view trimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace platform
