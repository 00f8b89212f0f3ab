// A small assertion helper for the plain C++ tests of the Windows side (Qt Test is not
// available to the mingw-w64 cross build): a failed check prints where, what was found
// and what was expected, with the case it belongs to, and counts; finish() turns the
// count into the exit code that ctest reads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

namespace wincheck {

inline int failures = 0;
inline std::string context; ///< the case under test, printed with its failures

inline std::string show(const std::string &text)
{
    std::string shown = "\"";
    for (unsigned char c : text) {
        if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            shown += escaped;
        } else {
            shown += char(c);
        }
    }
    return shown + "\"";
}
inline std::string show(const char *text) { return show(std::string(text ? text : "")); }
template <class T>
    requires std::is_integral_v<T> || std::is_enum_v<T>
std::string show(T value)
{
    return std::to_string(static_cast<long long>(value));
}

inline void fail(const char *file, int line, const std::string &what)
{
    ++failures;
    std::printf("FAIL %s:%d%s%s: %s\n", file, line, context.empty() ? "" : " in ", context.c_str(), what.c_str());
    std::fflush(stdout);
}

template <class A, class B>
bool compare(const A &actual, const B &expected, const char *expression, const char *file, int line)
{
    if (actual == expected)
        return true;
    fail(file, line, std::string(expression) + " is " + show(actual) + ", expected " + show(expected));
    return false;
}

inline int finish(const char *name)
{
    std::printf("%s: %s\n", name, failures == 0 ? "passed" : (std::to_string(failures) + " check(s) failed").c_str());
    return failures == 0 ? 0 : 1;
}

} // namespace wincheck

#define CHECK(condition) ((condition) ? true : (wincheck::fail(__FILE__, __LINE__, #condition " is false"), false))
#define CHECK_EQ(actual, expected) wincheck::compare((actual), (expected), #actual, __FILE__, __LINE__)
