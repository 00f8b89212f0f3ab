// Text of configuration and data files as the program reads it: bytes become UTF-8,
// whatever the file was written in (UTF-8, Windows-1252, or UTF-16 with a byte-order
// mark as Windows tools write it), and names compare without regard to case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

/// Whether `bytes` are well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);

/// Windows-1252 bytes as UTF-8 (the five unassigned bytes map to the C1 controls, as
/// Windows maps them).
std::string windows1252ToUtf8(std::string_view bytes);

/// A text file's bytes as UTF-8: a leading UTF-8 byte-order mark is dropped; valid UTF-8
/// is kept; anything else is read as Windows-1252.
std::string decodeText(std::string_view bytes);

/// As decodeText, and bytes that begin with a UTF-16 byte-order mark (little or big
/// endian) are read as UTF-16; unpaired surrogates become U+FFFD.
std::string decodeTextFile(std::string_view bytes);

/// A UTF-8 name folded for comparisons without regard to case: ASCII, Latin-1 and
/// Latin Extended-A letters are lower-cased, everything else is kept.
std::string foldCase(std::string_view utf8);

/// Reads a whole file (at most `maxSize` bytes). False with the system's `reason` when it
/// cannot be opened or read, or is larger.
bool readFileBytes(const std::string &path, std::string &bytes, std::string &reason, std::size_t maxSize);

/// `text` without the blanks and tabs at both ends.
std::string_view trimBlanks(std::string_view text);

} // namespace platform
