// The INI reader: any bytes load, and the keys Scrivo reads are looked up, as are the
// first section and key names of the input itself.
#include "platform/IniFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    platform::IniFile ini;
    ini.loadBytes(bytes);
    ini.readString("Cnx", "DataBaseName", "x");
    ini.readString("OptionLocale", "WPPath");
    const std::size_t open = bytes.find('['), close = bytes.find(']'), equals = bytes.find('=');
    if (open < close && close < bytes.size()) {
        const std::string section(bytes.substr(open + 1, close - open - 1));
        const std::size_t line = bytes.rfind('\n', equals);
        const std::size_t from = line == std::string_view::npos ? 0 : line + 1;
        ini.readString(section, equals < bytes.size() && from < equals ? std::string(bytes.substr(from, equals - from)) : "");
    }
    return 0;
}
