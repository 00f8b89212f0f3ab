#include "Win32WindowSystem.h"

#include "AnsiText.h"

#include <windows.h>

namespace platform {

namespace {

// GetWindowTextA's buffer: at most 79 characters and the terminating zero.
constexpr int TitleBufferSize = 80;
// A window that does not answer its system commands within this time is left to
// SetForegroundWindow alone, rather than freezing the caller.
constexpr UINT SystemCommandTimeoutMs = 2000;

HWND toHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

WindowHandle toHandle(HWND window)
{
    return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(window));
}

BOOL CALLBACK collectForeignWindow(HWND window, LPARAM list)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId())
        reinterpret_cast<std::vector<WindowHandle> *>(list)->push_back(toHandle(window));
    return TRUE;
}

void sendSystemCommand(HWND window, WPARAM command)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_SYSCOMMAND, command, reinterpret_cast<LPARAM>(window), SMTO_ABORTIFHUNG,
                        SystemCommandTimeoutMs, &ignored);
}

// SetForegroundWindow is refused when the foreground lock holds (this process did not
// receive the last input): for the time of the call, this thread shares the input state
// of the foreground window's thread, which Windows then treats as the one that may move
// the foreground. No key is pressed for it (an Alt press would open the menu bar of
// whatever window has the focus).
void forceForeground(HWND window)
{
    const DWORD self = GetCurrentThreadId();
    const HWND foreground = GetForegroundWindow();
    const DWORD owner = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = owner != 0 && owner != self && AttachThreadInput(self, owner, TRUE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(self, owner, FALSE);
}

} // namespace

std::vector<WindowHandle> Win32WindowSystem::topLevelWindows()
{
    std::vector<WindowHandle> windows;
    EnumWindows(collectForeignWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string Win32WindowSystem::windowTitle(WindowHandle window)
{
    char buffer[TitleBufferSize] = {};
    const int length = GetWindowTextA(toHwnd(window), buffer, TitleBufferSize);
    return win::fromAnsi(std::string_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0));
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
    // As the hot key of a window would: activation, then the restore of a minimised one.
    sendSystemCommand(hwnd, SC_HOTKEY);
    sendSystemCommand(hwnd, SC_RESTORE);
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    if (!SetForegroundWindow(hwnd) || GetForegroundWindow() != hwnd)
        forceForeground(hwnd);
    return IsWindow(hwnd) != FALSE;
}

bool Win32WindowSystem::windowHasFocus(WindowHandle window)
{
    return window != 0 && GetForegroundWindow() == toHwnd(window);
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
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.vk;
    input.ki.wScan = static_cast<WORD>(LOBYTE(MapVirtualKeyA(key.vk, MAPVK_VK_TO_VSC)));
    input.ki.dwFlags = (extended ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
    SendInput(1, &input, sizeof input);
}

bool Win32WindowSystem::numLockOn()
{
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
}

void Win32WindowSystem::setNumLock(bool on)
{
    BYTE state[256] = {};
    if (!GetKeyboardState(state))
        return;
    state[VK_NUMLOCK] = static_cast<BYTE>(on ? state[VK_NUMLOCK] | 1 : state[VK_NUMLOCK] & ~1);
    SetKeyboardState(state);
}

std::unique_ptr<WindowSystem> openWindowSystem(std::string &error)
{
    error.clear();
    return std::make_unique<Win32WindowSystem>();
}

} // namespace platform
