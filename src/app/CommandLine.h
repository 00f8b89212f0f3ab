// The usage text that "scrivo --help" prints: the arguments the practice application
// passes and the registry the program reads. Asked for before anything starts, so it
// needs no display.
#pragma once

#include <QString>

/// Whether an argument is "--help" or "-h".
bool AsksForUsage(int argc, const char *const *argv);

/// The usage text, in French, ending with a line break.
QString UsageText();
