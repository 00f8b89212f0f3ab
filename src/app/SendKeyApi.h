// Key-string sender and window searches: finds another program's top-level window by
// title or handle, brings it to the foreground, and types a compact key string into
// whichever window has the focus, through the platform's window system.
//
// Key strings: "+" Shift, "^" Ctrl, "%" Alt (held for the next key, or over a
// "(...)" group), "~" Enter, "{NAME}" or "{NAME n}" named keys, "{{}" and "{}}" the
// braces, any other character typed as itself in the current keyboard layout.
//
// Free of Qt: UTF-8 texts, 64-bit window handles, callbacks for messages.
#pragma once

#include "platform/WindowSystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

/// A named key of the key-string grammar and its Windows virtual-key code.
struct TKeyName {
    const char *Name;
    std::uint8_t VirtualKey;
};

extern const std::array<TKeyName, 41> KeyNames;
/// Virtual keys sent with the extended-key flag.
extern const std::array<std::uint8_t, 10> ExtendedKeys;

/// The window the last title search found; 0 when it found none.
extern platform::WindowHandle FoundWindow;

/// The window system every function of this module works with (not owned); none
/// makes every search fail and every key string type nothing.
void SetWindowSystem(platform::WindowSystem *windowSystem);

/// Shows a modal message (text, title); set by the program to its message box.
using SendKeysMessageHandler = std::function<void(const std::string &text, const std::string &title)>;
void SetSendKeysMessageHandler(SendKeysMessageHandler handler);
/// Processes the program's pending keyboard messages (used when SendKeys waits).
void SetProcessKeyboardMessages(std::function<void()> process);

/// Types `keys`, once the user has released the modifier keys (a moment at most: nothing
/// is typed while they stay down); the events go to the system together, or, when `wait`
/// is set, one by one with the program's keyboard messages processed after each. False
/// for an empty string, when a closing brace is missing, when a modifier stayed down and
/// when the system refused the keys. A repeat count that is
/// not an integer throws std::invalid_argument. Modifiers pressed by the string are
/// always released before returning. A letter or digit that the layout cannot type is
/// sent by its virtual key while Ctrl or Alt is held (shortcuts work by key).
bool SendKeys(const std::string &keys, bool wait);

/// Finds a top-level window by title (whole title, else the title containing `title`,
/// or beginning with it when `prefixOnly`, letters A to Z compared without case) and
/// brings it to the foreground. An empty title finds nothing.
bool ActivateWindowByTitle(const std::string &title, bool prefixOnly);
/// The same search, without activation.
bool FindWindowByTitle(const std::string &title, bool prefixOnly);
/// The same search, without activation: the window found (also left in FoundWindow),
/// or 0.
platform::WindowHandle WindowByTitle(const std::string &title, bool prefixOnly);
/// Brings the window to the foreground (restored when minimised); no check.
void ActivateWindowByHandle(platform::WindowHandle window);
/// Whether a top-level window with that handle exists.
bool WindowHandleExists(platform::WindowHandle window);
/// Whether the keyboard focus is in that window now.
bool WindowHasFocus(platform::WindowHandle window);

/// The virtual key of a name of KeyNames (upper case); an invalid key value and the
/// message "Invalid Key Name" when the name is unknown.
platform::KeyValue KeyNameToVirtualKey(const std::string &name);
