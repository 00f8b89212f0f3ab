#include "AnsiText.h"

#include <windows.h>

namespace platform::win {

namespace {

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

} // namespace

std::string fromWide(std::wstring_view wide)
{
    if (wide.empty())
        return std::string();
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

std::wstring toWide(std::string_view utf8)
{
    return decode(CP_UTF8, utf8);
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
