// A fbclient.dll as an attacker would plant it in the current folder or on the PATH:
// loaded, it leaves a mark (the file that SCRIVO_PLANTED_MARK names) and nothing else.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t mark[MAX_PATH];
        if (GetEnvironmentVariableW(L"SCRIVO_PLANTED_MARK", mark, MAX_PATH)) {
            HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
    return TRUE;
}
