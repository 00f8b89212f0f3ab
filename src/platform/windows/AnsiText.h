// Text at the boundary of the Win32 functions, for the Windows side of the platform
// layer: the interfaces speak UTF-8; the wide ("W") functions, which the shell, registry
// and files are reached through, speak UTF-16; the codes and the keys typed
// are Windows-1252, the code page of the workstations this program is written for.
// Conversions are explicit, so that nothing depends on the process's own code page.
// Internal to the platform layer.
#pragma once

#include <string>
#include <string_view>

namespace platform::win {

/// UTF-16 (as Windows hands it out) as UTF-8.
std::string fromWide(std::wstring_view wide);

/// UTF-8 as UTF-16, for the wide ("W") functions, which carry any character.
std::wstring toWide(std::string_view utf8);

/// The system's text for a Win32 error code, without its final line break.
std::string systemMessage(unsigned long error);

} // namespace platform::win
