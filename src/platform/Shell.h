// Starting programs and documents the way the desktop does: a program started with
// given arguments runs on its own (it outlives the caller, whose end it ignores), and
// a document can be handed to the desktop's default application for its type.
#pragma once

#include <string>
#include <vector>

namespace platform {

/// Starts `program` (a path, or a name looked up in PATH) detached, each element of
/// `arguments` reaching it as one argument, blanks included. False when it could not be
/// started (not found, not executable...).
bool startDetached(const std::string &program, const std::vector<std::string> &arguments);

/// Opens `document` with the desktop's default application. False when that could not
/// be started.
bool openWithDefaultApplication(const std::string &document);

} // namespace platform
