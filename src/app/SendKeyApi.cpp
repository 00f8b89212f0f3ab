#include "SendKeyApi.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

using platform::Key;
using platform::KeyValue;
using platform::WindowHandle;

const std::array<TKeyName, 41> KeyNames = {{
    {"BKSP", 0x08}, {"BS", 0x08}, {"BACKSPACE", 0x08}, {"BREAK", 0x03}, {"CAPSLOCK", 0x14},
    {"CLEAR", 0x0C}, {"DEL", 0x2E}, {"DELETE", 0x2E}, {"DOWN", 0x28}, {"END", 0x23},
    {"ENTER", 0x0D}, {"ESC", 0x1B}, {"ESCAPE", 0x1B}, {"F1", 0x70}, {"F10", 0x79},
    {"F11", 0x7A}, {"F12", 0x7B}, {"F13", 0x7C}, {"F14", 0x7D}, {"F15", 0x7E},
    {"F16", 0x7F}, {"F2", 0x71}, {"F3", 0x72}, {"F4", 0x73}, {"F5", 0x74},
    {"F6", 0x75}, {"F7", 0x76}, {"F8", 0x77}, {"F9", 0x78}, {"HELP", 0x2F},
    {"HOME", 0x24}, {"INS", 0x2D}, {"LEFT", 0x25}, {"NUMLOCK", 0x90}, {"PGDN", 0x22},
    {"PGUP", 0x21}, {"PRTSC", 0x2A}, {"RIGHT", 0x27}, {"SCROLLLOCK", 0x91}, {"TAB", 0x09},
    {"UP", 0x26},
}};

const std::array<std::uint8_t, 10> ExtendedKeys = {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E};

WindowHandle FoundWindow = 0;

namespace {

platform::WindowSystem *gWindowSystem = nullptr;
SendKeysMessageHandler gMessageHandler;
std::function<void()> gProcessKeyboardMessages;

constexpr std::size_t MaxTitleLength = 79;
constexpr std::size_t MaxKeyNameLength = 20;
constexpr char32_t InvalidCodePoint = 0xFFFD;
// Keys typed while the user still holds a modifier (Shift after a double click with
// Shift, say) would be read with it: the typing waits that long, at most, for its
// release, and types nothing when it does not come.
constexpr auto ModifierReleaseTimeout = std::chrono::milliseconds(1000);
constexpr auto ModifierPollInterval = std::chrono::milliseconds(10);

void ShowMessage(const char *text)
{
    if (gMessageHandler)
        gMessageHandler(text, "SendKeys");
}

// UTF-8 text to code points; a malformed byte stands for itself as U+FFFD.
std::u32string DecodeUtf8(const std::string &text)
{
    std::u32string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) {
            result.push_back(InvalidCodePoint);
            ++i;
            continue;
        }
        char32_t cp = length == 1 ? byte : byte & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = valid && (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        result.push_back(valid ? cp : InvalidCodePoint);
        i += valid ? length : 1;
    }
    return result;
}

std::string EncodeUtf8(const std::u32string &text)
{
    std::string result;
    for (char32_t cp : text) {
        if (cp < 0x80) {
            result += char(cp);
        } else if (cp < 0x800) {
            result += char(0xC0 | (cp >> 6));
            result += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            result += char(0xE0 | (cp >> 12));
            result += char(0x80 | ((cp >> 6) & 0x3F));
            result += char(0x80 | (cp & 0x3F));
        } else {
            result += char(0xF0 | (cp >> 18));
            result += char(0x80 | ((cp >> 12) & 0x3F));
            result += char(0x80 | ((cp >> 6) & 0x3F));
            result += char(0x80 | (cp & 0x3F));
        }
    }
    return result;
}

// Upper case of the characters a key string can hold: ASCII and the Latin-1 letters.
char32_t UpperChar(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    return c;
}

std::string LowerAscii(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

std::string CutTitle(const std::string &title)
{
    std::u32string points = DecodeUtf8(title);
    if (points.size() <= MaxTitleLength)
        return title;
    points.resize(MaxTitleLength);
    return EncodeUtf8(points);
}

// Title search shared by the activation and the plain search.
bool SearchWindowByTitle(const std::string &title, bool prefixOnly)
{
    FoundWindow = 0;
    // An empty title would match the first window of the desktop, whatever it is.
    if (!gWindowSystem || title.empty())
        return false;
    try {
        const std::vector<WindowHandle> windows = gWindowSystem->topLevelWindows();
        for (WindowHandle window : windows) {
            if (gWindowSystem->windowTitle(window) == title) {
                FoundWindow = window;
                return true;
            }
        }
        const std::string wanted = LowerAscii(title);
        for (WindowHandle window : windows) {
            const std::string candidate = LowerAscii(CutTitle(gWindowSystem->windowTitle(window)));
            const bool matches = prefixOnly ? candidate.starts_with(wanted) : candidate.find(wanted) != std::string::npos;
            if (matches) {
                FoundWindow = window;
                return true;
            }
        }
    } catch (...) {
        FoundWindow = 0;
    }
    return false;
}

// False when a modifier is still down at the end of the wait.
bool WaitForUserModifiersReleased(platform::WindowSystem &ws)
{
    const auto end = std::chrono::steady_clock::now() + ModifierReleaseTimeout;
    while (ws.userModifiersDown()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(ModifierPollInterval);
    }
    return true;
}

// The key of a letter or digit in a Ctrl or Alt shortcut where the layout types no such
// character (Russian, Greek): its virtual key, by which programs take their shortcuts
// whatever the layout, as Ctrl+V for Paste.
KeyValue ShortcutKey(char32_t c)
{
    if (c >= U'a' && c <= U'z')
        return KeyValue{Key{std::uint8_t(c - U'a' + 'A'), 0}, 0, true};
    if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9'))
        return KeyValue{Key{std::uint8_t(c), 0}, std::uint8_t(c >= U'A' ? platform::SHIFT_BIT : 0), true};
    return {};
}

// One run of SendKeys: the position in the string and the pending modifiers. Without
// `wait`, the events are gathered and sent together at the end, or before a message or
// a Num Lock switch.
class KeySender {
public:
    KeySender(platform::WindowSystem &ws, bool wait) : FWs(ws), FWait(wait) {}

    ~KeySender() { Finish(); }

    bool Send(const std::u32string &keys);
    /// Releases the modifiers left pressed and sends what is gathered; false when the
    /// system refused some event of the run.
    bool Finish()
    {
        ReleaseAllPending();
        Flush();
        return !FRefused;
    }

private:
    void Event(std::uint8_t vk, std::uint32_t native, bool down)
    {
        const bool extended = std::find(ExtendedKeys.begin(), ExtendedKeys.end(), vk) != ExtendedKeys.end() && native == 0;
        FBatch.push_back(platform::KeyEvent{Key{vk, native}, down, extended});
        if (FWait) {
            Flush();
            if (gProcessKeyboardMessages)
                gProcessKeyboardMessages();
        }
    }
    void Flush()
    {
        if (!FBatch.empty() && !FWs.sendKeyEvents(FBatch))
            FRefused = true;
        FBatch.clear();
    }
    void Tell(const char *text)
    {
        Flush(); // the keys before the message go before it
        ShowMessage(text);
    }
    KeyValue KeyFor(char32_t c)
    {
        const KeyValue value = FWs.keyForCharacter(c);
        return value.valid || !(FCtrl || FAlt) ? value : ShortcutKey(c);
    }
    void Modifier(std::uint8_t vk, bool down) { Event(vk, 0, down); }

    void PressPending(std::uint8_t vk, bool &mark)
    {
        Modifier(vk, true);
        mark = true;
    }

    void ReleasePending()
    {
        if (FInGroup)
            return;
        ReleaseAllPending();
    }

    void ReleaseAllPending()
    {
        if (FShift)
            Modifier(platform::VK_SHIFT_KEY, false);
        if (FCtrl)
            Modifier(platform::VK_CONTROL_KEY, false);
        if (FAlt)
            Modifier(platform::VK_ALT_KEY, false);
        FShift = FCtrl = FAlt = false;
    }

    void SendKeyValue(const KeyValue &value, int count)
    {
        using namespace platform;
        const std::uint8_t shift = value.shiftState;
        if (shift & SHIFT_BIT) Modifier(VK_SHIFT_KEY, true);
        if (shift & CTRL_BIT) Modifier(VK_CONTROL_KEY, true);
        if (shift & ALT_BIT) Modifier(VK_ALT_KEY, true);
        if (shift & ALTGR_BIT) Modifier(VK_ALTGR_KEY, true);
        if (value.key.vk == VK_NUMLOCK_KEY && value.key.native == 0) {
            Flush();
            FWs.toggleNumLock();
        } else {
            for (int i = 0; i < count; ++i) {
                Event(value.key.vk, value.key.native, true);
                Event(value.key.vk, value.key.native, false);
            }
        }
        if (shift & SHIFT_BIT) Modifier(VK_SHIFT_KEY, false);
        if (shift & CTRL_BIT) Modifier(VK_CONTROL_KEY, false);
        if (shift & ALT_BIT) Modifier(VK_ALT_KEY, false);
        if (shift & ALTGR_BIT) Modifier(VK_ALTGR_KEY, false);
    }

    void TypeCharacter(char32_t c, int count)
    {
        const KeyValue value = KeyFor(c);
        if (!value.valid) {
            Tell("Invalid KeyName");
            return;
        }
        SendKeyValue(value, count);
        ReleasePending();
    }

    // "{NAME}" or "{NAME n}" starting at FPos (on the "{"); false when unclosed.
    bool NamedKey(const std::u32string &keys);

    platform::WindowSystem &FWs;
    bool FWait;
    std::vector<platform::KeyEvent> FBatch;
    bool FRefused = false;
    bool FShift = false, FCtrl = false, FAlt = false;
    bool FInGroup = false;
    std::size_t FPos = 0;
};

bool KeySender::NamedKey(const std::u32string &keys)
{
    std::u32string collected;
    std::size_t i = FPos + 1;
    for (; i < keys.size() && keys[i] != U'}'; ++i)
        if (collected.size() < MaxKeyNameLength)
            collected += UpperChar(keys[i]);
    if (i >= keys.size()) {
        Tell("No Close");
        return false;
    }
    FPos = i;

    std::u32string name = collected;
    int count = 1;
    if (const auto space = collected.find(U' '); space != std::u32string::npos) {
        name = collected.substr(0, space);
        const std::string countText = EncodeUtf8(collected.substr(space + 1));
        try {
            std::size_t used = 0;
            count = std::stoi(countText, &used);
            if (used != countText.size())
                throw std::invalid_argument(countText);
        } catch (const std::exception &) {
            throw std::invalid_argument("'" + countText + "' n'est pas une valeur entière correcte");
        }
    }

    KeyValue value;
    if (name.size() == 1) {
        value = KeyFor(name[0]);
    } else {
        Flush();
        value = KeyNameToVirtualKey(EncodeUtf8(name));
    }
    if (name.size() == 1 && !value.valid) {
        Tell("Invalid KeyName");
        return true;
    }
    if (value.valid) {
        SendKeyValue(value, count);
        ReleasePending();
    }
    return true;
}

bool KeySender::Send(const std::u32string &keys)
{
    using namespace platform;
    for (FPos = 0; FPos < keys.size(); ++FPos) {
        const char32_t c = keys[FPos];
        switch (c) {
        case U'+': PressPending(VK_SHIFT_KEY, FShift); break;
        case U'^': PressPending(VK_CONTROL_KEY, FCtrl); break;
        case U'%': PressPending(VK_ALT_KEY, FAlt); break;
        case U'(': FInGroup = true; break;
        case U')':
            FInGroup = false;
            ReleasePending();
            break;
        case U'~':
            SendKeyValue(KeyValue{Key{0x0D, 0}, 0, true}, 1);
            ReleasePending();
            break;
        case U'{':
            if (FPos + 1 < keys.size() && keys[FPos + 1] == U'{') {
                SendKeyValue(KeyValue{Key{0xDB, 0}, SHIFT_BIT, true}, 1);
                ReleasePending();
                FPos += 2; // the two opening braces and the closing one
            } else if (keys.compare(FPos, 3, U"{}}") == 0) {
                SendKeyValue(KeyValue{Key{0xDD, 0}, SHIFT_BIT, true}, 1);
                ReleasePending();
                FPos += 2;
            } else if (!NamedKey(keys)) {
                return false;
            }
            break;
        default:
            TypeCharacter(c, 1);
            break;
        }
    }
    return true;
}

} // namespace

void SetWindowSystem(platform::WindowSystem *windowSystem)
{
    gWindowSystem = windowSystem;
}

void SetSendKeysMessageHandler(SendKeysMessageHandler handler)
{
    gMessageHandler = std::move(handler);
}

void SetProcessKeyboardMessages(std::function<void()> process)
{
    gProcessKeyboardMessages = std::move(process);
}

bool SendKeys(const std::string &keys, bool wait)
{
    if (keys.empty() || !gWindowSystem)
        return false;
    gWindowSystem->refreshKeyboardLayout();
    // Alt or Shift held with the keys would turn them into another shortcut.
    if (!WaitForUserModifiersReleased(*gWindowSystem))
        return false;
    // The sender releases what the string left pressed, whatever way it ends.
    KeySender sender(*gWindowSystem, wait);
    const bool processed = sender.Send(DecodeUtf8(keys));
    return sender.Finish() && processed;
}

bool ActivateWindowByTitle(const std::string &title, bool prefixOnly)
{
    if (!SearchWindowByTitle(title, prefixOnly))
        return false;
    ActivateWindowByHandle(FoundWindow);
    return true;
}

bool FindWindowByTitle(const std::string &title, bool prefixOnly)
{
    return SearchWindowByTitle(title, prefixOnly);
}

WindowHandle WindowByTitle(const std::string &title, bool prefixOnly)
{
    return SearchWindowByTitle(title, prefixOnly) ? FoundWindow : 0;
}

void ActivateWindowByHandle(WindowHandle window)
{
    if (!gWindowSystem)
        return;
    try {
        gWindowSystem->activateWindow(window);
    } catch (...) {
        // A window that vanished cannot be activated; the focus check tells the caller.
    }
}

bool WindowHandleExists(WindowHandle window)
{
    try {
        return gWindowSystem && window != 0 && gWindowSystem->windowExists(window);
    } catch (...) {
        return false;
    }
}

bool WindowHasFocus(WindowHandle window)
{
    try {
        return gWindowSystem && window != 0 && gWindowSystem->windowHasFocus(window);
    } catch (...) {
        return false;
    }
}

KeyValue KeyNameToVirtualKey(const std::string &name)
{
    for (const TKeyName &keyName : KeyNames)
        if (name == keyName.Name)
            return KeyValue{Key{keyName.VirtualKey, 0}, 0, true};
    ShowMessage("Invalid Key Name");
    return {};
}
