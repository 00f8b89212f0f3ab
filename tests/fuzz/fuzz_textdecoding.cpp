// Text decoding of files and of database bytes: whatever the bytes, the result is valid
// UTF-8, and Windows-1252 bytes come back unchanged when encoded again.
#include "config/DatabaseSession.h"
#include "platform/TextDecoding.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    using platform::isValidUtf8;
    for (const std::string &text : {platform::decodeText(bytes), platform::decodeTextFile(bytes),
                                    platform::windows1252ToUtf8(bytes), platform::foldCase(platform::decodeText(bytes))})
        if (!isValidUtf8(text))
            std::abort();
    platform::trimBlanks(bytes);
    using Codec = TCConnectionSettings::TextCodec;
    if (EncodeText(DecodeText(bytes, Codec::Windows1252), Codec::Windows1252) != bytes)
        std::abort();
    EncodeText(DecodeText(bytes, Codec::Utf8), Codec::Windows1252);
    return 0;
}
