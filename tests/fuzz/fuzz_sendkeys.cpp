// The key-string grammar on the recording window system: any string types and releases
// every modifier it pressed, whatever happens to its braces and groups.
#include "app/SendKeyApi.h"
#include "testsupport/RecordingWindowSystem.h"

#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static platform::RecordingWindowSystem windows;
    static const bool ready = [] {
        SetWindowSystem(&windows);
        SetSendKeysMessageHandler([](const std::string &, const std::string &) {});
        return true;
    }();
    (void)ready;
    // "{A 99999}" types 99,999 keys, as asked: repeat counts of four digits are left out.
    for (std::size_t i = 0, digits = 0; i < size; ++i)
        if ((digits = data[i] >= '0' && data[i] <= '9' ? digits + 1 : 0) >= 4)
            return -1;
    windows.keyEvents.clear();
    try {
        SendKeys(std::string(reinterpret_cast<const char *>(data), size), false);
    } catch (const std::invalid_argument &) {
        // a repeat count that is not a number
    }
    // A key is down from its last press to its next release (a second press repeats it).
    bool down[256] = {};
    for (const auto &event : windows.keyEvents)
        down[event.key.vk] = event.down;
    for (const std::uint8_t modifier : {platform::VK_SHIFT_KEY, platform::VK_CONTROL_KEY, platform::VK_ALT_KEY,
                                        platform::VK_ALTGR_KEY})
        if (down[modifier])
            std::abort(); // a modifier left pressed
    return 0;
}
