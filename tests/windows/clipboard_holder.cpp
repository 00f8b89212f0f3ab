// A program that holds the clipboard open, as a clipboard manager or a remote desktop
// client can, for the insertion tests of the Windows program: no other program can put
// anything on the clipboard meanwhile. Creates <ready file> once it holds it.
//   clipboard_holder <milliseconds> <ready file>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const HWND owner = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr);
    if (!OpenClipboard(owner))
        return 1;
    if (std::FILE *ready = std::fopen(argv[2], "wb"))
        std::fclose(ready);
    Sleep(DWORD(std::atoi(argv[1])));
    CloseClipboard();
    return 0;
}
