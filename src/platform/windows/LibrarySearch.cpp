#include "LibrarySearch.h"

#include "AnsiText.h"

#include <windows.h>

namespace platform::win {

void restrictLibrarySearch()
{
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L""); // and never the current folder, even for a load that asks for the old order
}

std::string loadFromProgramFolder(const wchar_t *name)
{
    if (LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32))
        return std::string();
    // Some of Windows' texts name the file as "%1" ("%1 n'est pas une application Win32 valide").
    std::string reason = systemMessage(GetLastError());
    if (const auto insert = reason.find("%1"); insert != std::string::npos)
        reason.replace(insert, 2, fromWide(name));
    return reason;
}

} // namespace platform::win
