// The registry on Linux: one text file per root, in the format the Windows registry
// editor exports ("REGEDIT4" or "Windows Registry Editor Version 5.00"), so that an
// export from a Windows workstation can be used as it is.
//
//   [HKEY_LOCAL_MACHINE\Software\Keldar\Talvor\Cnx]   a key, full path; its parents exist too
//   "Name"="text with \\ and \" escaped"              a string
//   "Name"=dword:0000002a                              a 32-bit integer
//   "Name"=hex(2):41,00,00,00                          typed bytes (may continue on lines ending in "\")
//   @="text"                                           the key's default value
//   ; comment
//
// A file is read again at every key opening, so the keys see the file as it is then. A
// missing file is an empty root; a file that cannot be read or parsed makes its root
// unreadable, with an error naming the file and the line.
#pragma once

#include "platform/Registry.h"

#include <map>
#include <vector>

namespace platform {

/// Registry value types, numbered as Windows numbers them.
enum RegistryType : std::uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegDwordBigEndian = 5,
    RegMultiSz = 7,
    RegQword = 11,
};

struct RegFileValue {
    std::uint32_t type = RegNone;
    std::string text;          ///< RegSz and RegExpandSz, UTF-8
    std::uint32_t dword = 0;   ///< RegDword
    std::vector<std::uint8_t> bytes; ///< every other type
};

/// The keys of one root, by folded path ("software\keldar\talvor"), each with its values
/// by folded name ("" for the default value).
struct RegFileTree {
    std::map<std::string, std::map<std::string, RegFileValue>> keys;
};

/// Parses the bytes of a registry file holding keys of `root`. False with a French
/// `error` naming `fileName` and the line when the text is not a registry file.
bool parseRegFile(std::string_view bytes, RegistryRoot root, const std::string &fileName, RegFileTree &tree,
                  std::string &error);

class RegFileRegistry : public Registry {
public:
    RegFileRegistry(std::string userFile, std::string machineFile);

    /// "$XDG_CONFIG_HOME/<company>/registry.reg" ("~/.config" when unset), or the file
    /// that SCRIVO_HKCU_FILE names.
    static std::string defaultUserFile(const std::string &company);
    /// "/etc/xdg/<company>/registry.reg", or the file that SCRIVO_HKLM_FILE names.
    static std::string defaultMachineFile(const std::string &company);

    const std::string &fileOf(RegistryRoot root) const;
    std::unique_ptr<RegistryKey> openKey(RegistryRoot root, const std::string &path, std::string &error) override;
    /// The root's file, whether it exists, and the variable that names another.
    std::string whereKeysAre(RegistryRoot root) const override;

private:
    std::string FUserFile;
    std::string FMachineFile;
};

} // namespace platform
