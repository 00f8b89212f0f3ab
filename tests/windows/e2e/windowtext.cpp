// Reads back what an editor holds: the text of the edit control (Notepad's "Edit",
// WordPad's "RichEdit...") of the first visible top-level window whose title contains
// the given text, written as UTF-8 to a file; or closes that editor without its question
// about unsaved changes; or writes where a window's client area starts on the screen
// ("x y"), for clicks at points of it (Wine may draw the frame inside the X window).
// Exit code 1 when no such window or control.
//   windowtext <part of the title> <output file>
//   windowtext --close <part of the title>
//   windowtext --origin <part of the title> <output file>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring Widen(const char *text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(size_t(length > 0 ? length - 1 : 0), L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    return wide;
}

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter)
{
    auto *search = reinterpret_cast<Search *>(parameter);
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    if (IsWindowVisible(window) && std::wstring(title).find(search->title) != std::wstring::npos) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindEditor(HWND window, LPARAM parameter)
{
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    const std::wstring name(className);
    if (name == L"Edit" || name.rfind(L"RichEdit", 0) == 0 || name.rfind(L"RICHEDIT", 0) == 0) {
        *reinterpret_cast<HWND *>(parameter) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool closing = mode == "--close", origin = mode == "--origin";
    if (argc != (closing ? 3 : origin ? 4 : 3)) {
        std::fprintf(stderr, "usage: windowtext [--origin] <part of the title> <output file> | --close <part of the title>\n");
        return 2;
    }
    Search search{Widen(argv[closing || origin ? 2 : 1])};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    if (origin) {
        POINT corner{0, 0};
        if (!search.found || !ClientToScreen(search.found, &corner))
            return 1;
        FILE *output = _wfopen(Widen(argv[3]).c_str(), L"wb");
        if (!output)
            return 1;
        std::fprintf(output, "%ld %ld\n", corner.x, corner.y);
        std::fclose(output);
        return 0;
    }
    HWND editor = nullptr;
    if (search.found)
        EnumChildWindows(search.found, FindEditor, reinterpret_cast<LPARAM>(&editor));
    if (!editor) {
        std::fprintf(stderr, "no editor in a window titled *%s*\n", argv[closing ? 2 : 1]);
        return 1;
    }
    if (closing) {
        SendMessageW(editor, EM_SETMODIFY, FALSE, 0);
        PostMessageW(search.found, WM_CLOSE, 0, 0);
        return 0;
    }
    const LRESULT length = SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(size_t(length) + 1, L'\0');
    SendMessageW(editor, WM_GETTEXT, WPARAM(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), utf8.data(), bytes, nullptr, nullptr);
    FILE *output = _wfopen(Widen(argv[2]).c_str(), L"wb");
    if (!output)
        return 1;
    std::fwrite(utf8.data(), 1, utf8.size(), output);
    std::fclose(output);
    return 0;
}
