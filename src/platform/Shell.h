// Starting programs and documents the way the desktop does: a program started with
// given arguments runs on its own (it outlives the caller, whose end it ignores), and
// a document can be handed to the desktop's default application for its type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using ProcessId = std::uint64_t;

/// Starts `program` (a path, or a name looked up in PATH) detached, each element of
/// `arguments` reaching it as one argument, blanks included. False when it could not be
/// started (not found, not executable...). `started`, when given, receives the new
/// process's identifier (0 when the system tells none: a program already running that
/// took the document over).
bool startDetached(const std::string &program, const std::vector<std::string> &arguments, ProcessId *started = nullptr);

/// Opens `document` with the desktop's default application. False when that could not
/// be started.
bool openWithDefaultApplication(const std::string &document);

} // namespace platform
