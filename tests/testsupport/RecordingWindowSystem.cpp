#include "testsupport/RecordingWindowSystem.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace platform {

WindowHandle RecordingWindowSystem::addWindow(const std::string &title, bool own, bool takesFocus)
{
    FWindows.push_back({nextHandle, title, own, takesFocus});
    return nextHandle++;
}

void RecordingWindowSystem::setTitle(WindowHandle window, const std::string &title)
{
    for (Window &w : FWindows)
        if (w.handle == window)
            w.title = title;
}

void RecordingWindowSystem::removeWindow(WindowHandle window)
{
    std::erase_if(FWindows, [window](const Window &w) { return w.handle == window; });
    if (focused == window)
        focused = 0;
}

const RecordingWindowSystem::Window *RecordingWindowSystem::find(WindowHandle window) const
{
    auto it = std::find_if(FWindows.begin(), FWindows.end(),
                           [window](const Window &w) { return w.handle == window; });
    return it == FWindows.end() ? nullptr : &*it;
}

std::vector<WindowHandle> RecordingWindowSystem::topLevelWindows()
{
    std::vector<WindowHandle> result;
    for (const Window &w : FWindows)
        if (!w.own && std::find(unseen.begin(), unseen.end(), w.handle) == unseen.end())
            result.push_back(w.handle);
    return result;
}

std::string RecordingWindowSystem::windowTitle(WindowHandle window)
{
    if (FFailing)
        throw std::runtime_error("window system failure");
    const Window *w = find(window);
    return w ? w->title : std::string();
}

bool RecordingWindowSystem::windowExists(WindowHandle window)
{
    return find(window) != nullptr;
}

bool RecordingWindowSystem::activateWindow(WindowHandle window)
{
    activations.push_back(window);
    const Window *w = find(window);
    if (!w)
        return false;
    if (w->takesFocus)
        focused = window;
    return true;
}

bool RecordingWindowSystem::windowHasFocus(WindowHandle window)
{
    return window != 0 && focused == window;
}

KeyValue RecordingWindowSystem::keyForCharacter(char32_t c)
{
    auto key = [](std::uint8_t vk, std::uint8_t shift) { return KeyValue{Key{vk, 0}, shift, true}; };
    if (!latinLetters && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
        return {};
    if (c >= 'a' && c <= 'z')
        return key(std::uint8_t(c - 'a' + 'A'), 0);
    if (c >= 'A' && c <= 'Z')
        return key(std::uint8_t(c), SHIFT_BIT);
    if (c >= '0' && c <= '9')
        return key(std::uint8_t(c), 0);
    if (c == ' ')
        return key(0x20, 0);

    // The other printable characters of a US keyboard: unshifted, then shifted row.
    static constexpr std::string_view plain = ";=,-./`[\\]'";
    static constexpr std::string_view shifted = ":+<_>?~{|}\"";
    static constexpr std::uint8_t oemKeys[] = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE};
    static constexpr std::string_view digitShifted = ")!@#$%^&*(";
    if (c < 0x80) {
        const char ch = char(c);
        if (auto i = plain.find(ch); i != std::string_view::npos)
            return key(oemKeys[i], 0);
        if (auto i = shifted.find(ch); i != std::string_view::npos)
            return key(oemKeys[i], SHIFT_BIT);
        if (auto i = digitShifted.find(ch); i != std::string_view::npos)
            return key(std::uint8_t('0' + i), SHIFT_BIT);
    }
    return {};
}

void RecordingWindowSystem::sendKeyEvent(Key key, bool down, bool extended)
{
    keyEvents.push_back({key, down, extended});
}

bool RecordingWindowSystem::sendKeyEvents(const std::vector<KeyEvent> &events)
{
    if (refuseKeys)
        return false;
    keyBatches.push_back(events);
    WindowSystem::sendKeyEvents(events);
    if (onKeys)
        onKeys(events);
    return true;
}

} // namespace platform
