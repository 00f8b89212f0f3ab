// A program that holds the clipboard open, as a clipboard manager or a remote desktop
// client can, for the insertion tests of the Windows program: no other program can put
// anything on the clipboard meanwhile. Creates <ready file> once it holds it, and lets
// it go once <release file> exists (after a minute at most).
//   clipboard_holder <ready file> <release file>
#include <windows.h>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const HWND owner = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
    if (!OpenClipboard(owner))
        return 1;
    if (std::FILE *ready = std::fopen(argv[1], "wb"))
        std::fclose(ready);
    for (int waited = 0; waited < 60000 && GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES; waited += 20)
        Sleep(20);
    CloseClipboard();
    return 0;
}
