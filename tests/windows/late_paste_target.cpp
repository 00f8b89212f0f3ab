// A document window that pastes late, for the insertion tests of the Windows program:
// on Ctrl+V it waits (300 ms unless told), then opens the clipboard and appends its text
// (UTF-8, one line per paste) to a file. Word may take as long when busy; a code replaced
// on the clipboard within that time would be lost, and the next one pasted twice.
// "busy": the wait blocks the window's thread, which then answers no message, as a Word
// at work on its paste does.
//   late_paste_target <window title> <output file> [lifetime in seconds, 60] [wait in ms] [busy]
#include "platform/windows/AnsiText.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR EndTimer = 1;
std::string outputPath;
UINT pasteDelayMs = 300;
bool busy = false;

void appendClipboardText(HWND window)
{
    std::string line;
    if (OpenClipboard(window)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto *text = static_cast<const wchar_t *>(GlobalLock(data))) {
                line = platform::win::fromWide(text);
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    if (std::FILE *file = std::fopen(outputPath.c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
        // Several pastes may wait at once, each read when its time comes.
        if (wParam == 'V' && GetKeyState(VK_CONTROL) < 0) {
            static UINT_PTR next = 100;
            if (busy) {
                Sleep(pasteDelayMs);
                appendClipboardText(window);
            } else {
                SetTimer(window, next++, pasteDelayMs, nullptr);
            }
        }
        return 0;
    case WM_TIMER:
        KillTimer(window, wParam);
        if (wParam == EndTimer)
            DestroyWindow(window);
        else
            appendClipboardText(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    outputPath = argv[2];
    const int lifetime = argc > 3 ? std::atoi(argv[3]) : 60;
    if (argc > 4)
        pasteDelayMs = static_cast<UINT>(std::atoi(argv[4]));
    busy = argc > 5 && std::string(argv[5]) == "busy";
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.lpszClassName = "ScrivoLatePasteTarget";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 50, 50, 400, 300,
                                        nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    SetTimer(window, EndTimer, UINT(lifetime) * 1000, nullptr);
    for (MSG msg; GetMessageA(&msg, nullptr, 0, 0) > 0;) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
