#include "AnsiText.h"

#include <windows.h>

namespace platform::win {

namespace {

constexpr UINT Windows1252 = 1252;

std::wstring decode(UINT codePage, std::string_view bytes)
{
    if (bytes.empty())
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

std::string encode(UINT codePage, std::wstring_view wide)
{
    if (wide.empty())
        return std::string();
    const int size = static_cast<int>(wide.size());
    // No best fit: "Œ" stays "Œ", but "ł" must not quietly become "l".
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char *fallback = codePage == CP_UTF8 ? nullptr : "?";
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, fallback, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, bytes.data(), length, fallback, nullptr);
    return bytes;
}

} // namespace

std::string toAnsi(std::string_view utf8)
{
    return encode(Windows1252, decode(CP_UTF8, utf8));
}

std::string fromAnsi(std::string_view ansi)
{
    return encode(CP_UTF8, decode(Windows1252, ansi));
}

std::string fromWide(std::wstring_view wide)
{
    return encode(CP_UTF8, wide);
}

std::string systemMessage(unsigned long error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty())
        return "erreur " + std::to_string(error);
    return fromWide(text);
}

} // namespace platform::win
