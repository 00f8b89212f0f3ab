// Where the Windows program looks for DLLs: its own folder and the system folder only.
// The current folder is inherited from the program that started this one (often a shared
// folder that users can write to) and the PATH is anybody's: a DLL planted there would
// run inside this program.
#pragma once

#include <string>

namespace platform::win {

/// From now on, DLLs loaded by name (delay-loaded imports, plugins, what the loaded DLLs
/// load in turn) are looked for in the program's folder and the system folder only.
void restrictLibrarySearch();

/// Loads the DLL `name` from the program's folder, else from the system folder; empty
/// when it is loaded, else the reason Windows gave (absent, wrong architecture...).
std::string loadFromProgramFolder(const wchar_t *name);

} // namespace platform::win
