#include "Win32WindowSystem.h"

#include "AnsiText.h"

#include <windows.h>

#include <dwmapi.h>

#include <string_view>
#include <vector>

namespace platform {

namespace {

// Titles are read as GetWindowTextA did: at most 79 characters (UTF-16 units here).
constexpr int TitleBufferSize = 80;
// A window that does not answer its restore command within this time is left to
// SetForegroundWindow alone, rather than freezing the caller.
constexpr UINT SystemCommandTimeoutMs = 2000;
// A program that does not answer a message within this time is at work (or hung).
// Meanwhile this thread still answers the messages sent to it (the target's request for
// the clipboard among them).
constexpr UINT ProbeTimeoutMs = 200;

HWND toHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

WindowHandle toHandle(HWND window)
{
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

// A window the user cannot see: hidden, or cloaked (on another virtual desktop, a
// suspended store app). Such a window must not win a title search.
bool unseen(HWND window)
{
    if (!IsWindowVisible(window))
        return true;
    BOOL cloaked = FALSE;
    return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked)) && cloaked;
}

// The window Windows lays over a program's window once it has stopped answering for a
// few seconds (class "Ghost", of dwm.exe's or the shell's, titled like the program's own
// plus "(Ne répond pas)"): the program's window itself is the target.
bool ghost(HWND window)
{
    wchar_t className[8] = {};
    return GetClassNameW(window, className, 8) == 5 && std::wstring_view(className) == L"Ghost";
}

BOOL CALLBACK collectForeignWindow(HWND window, LPARAM list)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() && !unseen(window) && !ghost(window))
        reinterpret_cast<std::vector<WindowHandle> *>(list)->push_back(toHandle(window));
    return TRUE;
}

// The integrity level of a process's token (the rid of its label); -1 when it cannot be
// read.
long integrityLevel(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return -1;
    long level = -1;
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size != 0 && GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size)) {
        const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL *>(buffer.data())->Label.Sid;
        level = static_cast<long>(*GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1));
    }
    CloseHandle(token);
    return level;
}

// Whether this program, not raised itself, may not send messages to `window`: the
// system blocks messages beyond its small safe set to a program of a higher integrity
// level (user interface privilege isolation), and says so by ERROR_ACCESS_DENIED.
bool messagesBlockedTo(HWND window)
{
    static const UINT probe = RegisterWindowMessageW(L"ScrivoIntegrityProbe");
    DWORD_PTR ignored = 0;
    SetLastError(ERROR_SUCCESS);
    return !SendMessageTimeoutW(window, probe, 0, 0, SMTO_ABORTIFHUNG, ProbeTimeoutMs, &ignored)
        && GetLastError() == ERROR_ACCESS_DENIED;
}

INPUT keyInput(Key key, bool down, bool extended)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.vk;
    input.ki.wScan = static_cast<WORD>(LOBYTE(MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC)));
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
    return input;
}

} // namespace

std::vector<KeyEvent> releasesAfter(const std::vector<KeyEvent> &events, std::size_t inserted)
{
    std::vector<KeyEvent> down;
    for (std::size_t i = 0; i < inserted && i < events.size(); ++i) {
        const KeyEvent &event = events[i];
        std::erase_if(down, [&event](const KeyEvent &pressed) { return pressed.key == event.key; });
        if (event.down)
            down.push_back(event);
    }
    std::vector<KeyEvent> releases(down.rbegin(), down.rend());
    for (KeyEvent &release : releases)
        release.down = false;
    return releases;
}

std::vector<WindowHandle> Win32WindowSystem::topLevelWindows()
{
    std::vector<WindowHandle> windows;
    EnumWindows(collectForeignWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string Win32WindowSystem::windowTitle(WindowHandle window)
{
    wchar_t buffer[TitleBufferSize] = {};
    int length = GetWindowTextW(toHwnd(window), buffer, TitleBufferSize);
    // The cut may split a character outside the basic plane: its first half goes.
    if (length > 0 && buffer[length - 1] >= 0xD800 && buffer[length - 1] <= 0xDBFF)
        --length;
    return win::fromWide(std::wstring_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0));
}

std::uint64_t Win32WindowSystem::windowProcess(WindowHandle window)
{
    DWORD process = 0;
    return window != 0 && GetWindowThreadProcessId(toHwnd(window), &process) ? process : 0;
}

bool Win32WindowSystem::windowExists(WindowHandle window)
{
    const HWND hwnd = toHwnd(window);
    return window != 0 && IsWindow(hwnd) && GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow();
}

bool Win32WindowSystem::activateWindow(WindowHandle window)
{
    const HWND hwnd = toHwnd(window);
    if (window == 0 || !IsWindow(hwnd))
        return false;
    // Only a minimised window is restored: it comes back as it was, maximised or not. The
    // restore of a window that is not minimised would take a maximised one down to its
    // normal size. The command goes as the window's own system menu sends it, with a
    // timeout, so that a hung program cannot freeze this one.
    if (IsIconic(hwnd)) {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG, SystemCommandTimeoutMs, &ignored))
            ShowWindowAsync(hwnd, SW_RESTORE);
    }
    // The user has just clicked in this program, which may therefore move the foreground.
    SetForegroundWindow(hwnd);
    return IsWindow(hwnd) != FALSE;
}

bool Win32WindowSystem::windowHasFocus(WindowHandle window)
{
    // Window handles carry 32 significant bits: a handle given zero-extended (from a
    // 32-bit number) is the same window as its sign-extended form.
    const auto bits = [](WindowHandle handle) { return static_cast<std::uint32_t>(handle); };
    return window != 0 && bits(toHandle(GetForegroundWindow())) == bits(window);
}

bool Win32WindowSystem::windowBusy(WindowHandle window)
{
    const HWND hwnd = toHwnd(window);
    if (window == 0 || !IsWindow(hwnd))
        return false;
    DWORD_PTR ignored = 0;
    return IsHungAppWindow(hwnd) || !SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                          ProbeTimeoutMs, &ignored);
}

KeyValue Win32WindowSystem::keyForCharacter(char32_t character)
{
    // VkKeyScanW on the character itself rather than VkKeyScanA on its Windows-1252 byte:
    // the same translation, without a code page on the way that would turn a character
    // outside it into "?" and type that.
    if (character > 0xFFFF || (character >= 0xD800 && character <= 0xDFFF))
        return {};
    const SHORT scan = VkKeyScanW(static_cast<WCHAR>(character));
    if (scan == -1)
        return {};
    KeyValue value;
    value.key.vk = LOBYTE(scan);
    // The key sender presses Shift, Ctrl and Alt; the other bits (Hankaku, reserved) name
    // keys it has not, and Windows types AltGr as Ctrl+Alt.
    value.shiftState = HIBYTE(scan) & (SHIFT_BIT | CTRL_BIT | ALT_BIT);
    value.valid = true;
    return value;
}

void Win32WindowSystem::sendKeyEvent(Key key, bool down, bool extended)
{
    sendKeyEvents({KeyEvent{key, down, extended}});
}

bool Win32WindowSystem::sendKeyEvents(const std::vector<KeyEvent> &events)
{
    if (events.empty())
        return true;
    std::vector<INPUT> inputs;
    for (const KeyEvent &event : events)
        inputs.push_back(keyInput(event.key, event.down, event.extended));
    // One call: Windows inserts the events together, never between keys the user types.
    // Fewer events inserted than given: the input was blocked (another desktop, say);
    // the keys already pressed are released, or Ctrl would stay down.
    const UINT inserted = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (inserted == inputs.size())
        return true;
    std::vector<INPUT> releases;
    for (const KeyEvent &release : releasesAfter(events, inserted))
        releases.push_back(keyInput(release.key, false, release.extended));
    if (!releases.empty())
        SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
    return false;
}

bool Win32WindowSystem::userModifiersDown()
{
    for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN})
        if (GetAsyncKeyState(vk) & 0x8000)
            return true;
    return false;
}

bool Win32WindowSystem::inputBlockedTo(WindowHandle window)
{
    DWORD processId = 0;
    if (window == 0 || !GetWindowThreadProcessId(toHwnd(window), &processId))
        return false;
    const long own = integrityLevel(GetCurrentProcess());
    if (own < 0)
        return false;
    long target = -1;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
        target = integrityLevel(process);
        CloseHandle(process);
    }
    // The system drops input sent to a program of a higher integrity level. A process
    // whose token cannot be read is no proof of one (a system process, a hung window's
    // stand-in): the system's own refusal of a message is.
    return target >= 0 ? target > own : messagesBlockedTo(toHwnd(window));
}

bool Win32WindowSystem::numLockOn()
{
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

void Win32WindowSystem::setNumLock(bool on)
{
    if (numLockOn() != on)
        toggleNumLock();
}

void Win32WindowSystem::toggleNumLock()
{
    // Through the input stream, as the key itself: the keyboard state of this thread alone
    // (SetKeyboardState) would change nothing for the other programs.
    const Key numLock{VK_NUMLOCK_KEY, 0};
    sendKeyEvents({KeyEvent{numLock, true, true}, KeyEvent{numLock, false, true}});
}

std::unique_ptr<WindowSystem> openWindowSystem(std::string &error)
{
    error.clear();
    return std::make_unique<Win32WindowSystem>();
}

} // namespace platform
