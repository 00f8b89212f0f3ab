// Reading of INI files with the rules of the Windows profile-string service, which the
// central parameter file is written for:
//   - section and key names compare without regard to case, blanks around them ignored;
//   - the first section of a name is the one read, and in it the first line of a key;
//   - a missing key reads as the caller's default (empty text);
//   - blanks around a value are dropped, then one pair of surrounding quotes (" or ');
//   - no escape sequences and no comments after a value: "a ; b \n" is read as written;
//   - lines without "=" are ignored, as are lines before the first section.
// The file is UTF-8 when it is valid UTF-8, else Windows-1252 (UTF-16 with a
// byte-order mark is read too).
//
// A reader of our own reads the file once, when it is loaded, and holds its sections: a
// file on a share that stops answering can then hold up its loading only (which the
// caller bounds), never a read of a value. On Windows, the profile-string service would
// read the file again for each value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
public:
    /// Reads the file at `path`. False with a French `error` naming the file when it
    /// cannot be read; the sections read before stay empty then.
    bool load(const std::string &path, std::string &error);
    /// Takes the file's content from `bytes`.
    void loadBytes(std::string_view bytes);

    /// The value of `key` in `section`, or `defaultValue` when there is none.
    std::string readString(const std::string &section, const std::string &key,
                           const std::string &defaultValue = std::string()) const;

private:
    struct Entry {
        std::string key; // folded
        std::string value;
    };
    struct Section {
        std::string name; // folded
        std::vector<Entry> entries;
    };
    std::vector<Section> FSections;
};

} // namespace platform
