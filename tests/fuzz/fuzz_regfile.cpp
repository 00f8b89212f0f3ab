// The REGEDIT4 reader: any bytes parse into a tree or fail with a message.
#include "platform/linux/RegFileRegistry.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    for (const auto root : {platform::RegistryRoot::LocalMachine, platform::RegistryRoot::CurrentUser}) {
        platform::RegFileTree tree;
        std::string error;
        if (!platform::parseRegFile(bytes, root, "fuzz.reg", tree, error) && error.empty())
            std::abort(); // a failure without a message
    }
    return 0;
}
