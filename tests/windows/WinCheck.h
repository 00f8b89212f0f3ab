// A small assertion helper for the plain C++ tests of the Windows side (Qt Test is not
// available to the mingw-w64 cross build): a failed check prints where, what was found
// and what was expected, with the case under test, and counts; finish() makes the count
// the exit code that ctest reads. Also the files the tests write, in the temp folder.
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>
#include <windows.h>

namespace wincheck {

inline int failures = 0;
inline std::string context; ///< the case under test, printed with its failures

inline std::string show(const std::string &text)
{
    std::string shown = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20) {
            shown += char(c);
            continue;
        }
        shown += "\\x";
        shown += "0123456789abcdef"[c >> 4];
        shown += "0123456789abcdef"[c & 15];
    }
    return shown + "\"";
}
inline std::string show(const char *text) { return show(std::string(text)); }
inline std::string show(long long value) { return std::to_string(value); }

inline void fail(const char *file, int line, const std::string &what)
{
    ++failures;
    std::printf("FAIL %s:%d%s%s: %s\n", file, line, context.empty() ? "" : " in ", context.c_str(), what.c_str());
    std::fflush(stdout);
}

template <class A, class B> bool compare(const A &actual, const B &expected, const char *expression, const char *file, int line)
{
    if (actual == expected)
        return true;
    if constexpr (std::is_arithmetic_v<A> || std::is_enum_v<A>)
        fail(file, line, std::string(expression) + " is " + show((long long)actual) + ", expected " + show((long long)expected));
    else
        fail(file, line, std::string(expression) + " is " + show(actual) + ", expected " + show(expected));
    return false;
}

inline int finish(const char *name)
{
    std::printf("%s: %s\n", name, failures == 0 ? "passed" : (std::to_string(failures) + " check(s) failed").c_str());
    return failures == 0 ? 0 : 1;
}

// A missing fixture (no desktop under Wine) skips the test (77), or fails it under
// scripts/test, which starts every fixture and sets SCRIVO_REQUIRE_FIXTURES.
inline int skipWithoutFixture(const char *why)
{
    const bool required = std::getenv("SCRIVO_REQUIRE_FIXTURES") != nullptr;
    std::printf("%s: %s\n", why, required ? "failed (every fixture is required)" : "skipped");
    return required ? 1 : 77;
}

/// UTF-8 as UTF-16, for the wide functions (paths are UTF-8 here, as in the program).
inline std::wstring wide(const std::string &utf8)
{
    std::wstring text(utf8.size(), L'\0');
    text.resize(std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), text.data(), int(text.size()))));
    return text;
}

inline std::string tempPath(const std::string &name)
{
    wchar_t folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    std::string utf8(length * 3, '\0');
    utf8.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, folder, int(length), utf8.data(), int(utf8.size()), nullptr, nullptr)));
    return utf8 + name;
}

inline void writeFile(const std::string &path, const std::string &bytes)
{
    std::FILE *file = _wfopen(wide(path).c_str(), L"wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

inline std::string readFile(const std::string &path)
{
    std::string bytes;
    if (std::FILE *file = _wfopen(wide(path).c_str(), L"rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, got);
        std::fclose(file);
    }
    return bytes;
}

} // namespace wincheck

#define CHECK(condition) ((condition) ? true : (wincheck::fail(__FILE__, __LINE__, #condition " is false"), false))
#define CHECK_EQ(actual, expected) wincheck::compare((actual), (expected), #actual, __FILE__, __LINE__)
