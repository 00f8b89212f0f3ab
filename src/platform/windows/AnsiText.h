// Text at the boundary of the Win32 "A" functions, for the Windows side of the platform
// layer: the interfaces speak UTF-8, the A functions (window titles, registry, profile
// strings, shell) speak Windows-1252, the code page of the workstations this program is
// written for. Conversions are explicit, so that nothing depends on the process's own
// code page. Internal to the platform layer.
#pragma once

#include <string>
#include <string_view>

namespace platform::win {

/// UTF-8 as Windows-1252 bytes; a character that Windows-1252 lacks becomes "?".
std::string toAnsi(std::string_view utf8);

/// Windows-1252 bytes as UTF-8.
std::string fromAnsi(std::string_view ansi);

/// UTF-16 (as Windows hands it out) as UTF-8.
std::string fromWide(std::wstring_view wide);

/// The system's text for a Win32 error code, without its final line break.
std::string systemMessage(unsigned long error);

} // namespace platform::win
