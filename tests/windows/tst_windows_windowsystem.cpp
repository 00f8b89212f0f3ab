// The window system on Windows and the key sender over it, with a real word processor
// (Notepad) in another process: the document opened through the shell is found by its
// title and by its handle, restored from minimised and brought to the foreground; a
// merge code put on the clipboard as CF_TEXT is pasted with "^(v)"; key strings type
// exactly their characters in the current layout (US or French AZERTY, told by the
// layout itself; under Wine, which types no character for Ctrl+Alt+key as Windows types
// AltGr ones, the French AltGr characters are checked as keys only), read back from
// Notepad's edit control; no modifier stays down. Under a layout without Latin letters
// (Russian) Ctrl+V still pastes; a Shift the user still holds is waited for; a maximised
// document stays maximised; hidden windows are never found, titles outside the code page
// are; Num Lock changes for the other programs too. Also the arguments of a program
// started by the shell. Argument: the layout the run must meet ("us", "fr" or "ru").
#include "WinCheck.h"
#include "app/SendKeyApi.h"
#include "platform/Shell.h"
#include "platform/windows/AnsiText.h"
#include "platform/windows/Win32WindowSystem.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> messages;

// Waits (bounded) for `done`, serving this thread's windows meanwhile.
bool waitFor(const std::function<bool()> &done, int timeoutMs = 10000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            DispatchMessageA(&msg);
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        Sleep(20);
    }
}

// Activation under a window manager completes later, and a late answer can undo an
// early one: `done` must still hold a moment after.
bool waitSteadily(const std::function<bool()> &done)
{
    return waitFor(done) && (waitFor([] { return false; }, 300), done());
}

// Activation as the insertion's focus wait does it: asked again every half second. Under
// a window manager a late answer can take the foreground away again a moment after; the
// focus wait then asks again, so the window must come back and stay (within 10 s).
bool activatedSteadily(HWND window, const std::function<bool()> &also = [] { return true; })
{
    int polls = 0;
    const auto done = [&] {
        const bool focused = GetForegroundWindow() == window;
        if (!focused && ++polls % 25 == 0)
            ActivateWindowByHandle(reinterpret_cast<std::uintptr_t>(window));
        return focused && also();
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < end && waitFor(done)) {
        waitFor([] { return false; }, 300);
        if (done())
            return true;
    }
    return false;
}

HWND hwnd(platform::WindowHandle handle) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle)); }
platform::WindowHandle wid(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

std::string editText(HWND edit)
{
    wchar_t buffer[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &length);
    return platform::win::fromWide(std::wstring_view(buffer, length));
}

bool putOnClipboard(HWND owner, const std::string &ansi)
{
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, ansi.size() + 1);
    std::memcpy(GlobalLock(memory), ansi.c_str(), ansi.size() + 1);
    GlobalUnlock(memory);
    const bool put = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return put;
}

bool modifierDown()
{
    for (int vk : {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU})
        if (GetAsyncKeyState(vk) & 0x8000)
            return true;
    return false;
}

void closeProcessOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process)) {
        TerminateProcess(handle, 0);
        WaitForSingleObject(handle, 5000);
        CloseHandle(handle);
    }
}

// The layout, by where it puts A (the scan code of its key) and "@", or by its lack of "v".
std::string currentLayout()
{
    const UINT scanA = MapVirtualKeyA('A', MAPVK_VK_TO_VSC);
    const SHORT at = VkKeyScanW(L'@');
    if (VkKeyScanW(L'v') == -1)
        return "ru";
    return scanA == 0x1E && at == 0x132 ? "us" : scanA == 0x10 && at == 0x630 ? "fr" : "other";
}

// The Num Lock state as the program of `window` sees it (read through its input state).
int numLockSeenBy(HWND window)
{
    const DWORD self = GetCurrentThreadId();
    const DWORD other = GetWindowThreadProcessId(window, nullptr);
    if (!AttachThreadInput(self, other, TRUE))
        return -1;
    const int on = GetKeyState(VK_NUMLOCK) & 1;
    AttachThreadInput(self, other, FALSE);
    return on;
}

// Starts this program showing (or not) a window titled `title`, in another process.
void startWindowProgram(bool visible)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    platform::startDetached(self, {"--window", visible ? "visible" : "hidden"});
}

// The titles of those windows: a letter outside Windows-1252 in each.
const wchar_t *const VisibleTitle = L"Courrier \x141\xF3" L"d\x17A visible";
const wchar_t *const HiddenTitle = L"Courrier \x141\xF3" L"d\x17A cach\xE9";

// The window program: its window, served for at most 30 seconds.
int showWindow(bool visible)
{
    const HWND window = CreateWindowExW(0, L"STATIC", visible ? VisibleTitle : HiddenTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                                        200, 100, nullptr, nullptr, nullptr, nullptr);
    if (visible)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    waitFor([] { return false; }, 30000);
    return 0;
}

bool underWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

struct TypingCase {
    const char *keys;
    std::string typed;
    std::vector<std::string> shown;
};

std::vector<TypingCase> typingCases(const std::string &layout)
{
    std::vector<TypingCase> cases;
    if (layout != "ru")
        cases = {
            {"+(ab)c+de", "ABcDe", {}},
            {"ab{LEFT}c{END}{HOME}{DEL}", "cb", {}},
            {"{a}", "A", {}},
            {"+(ab", "AB", {}},
        };
    // A layout without a key for "€" (US, or Wine's French one, whose translation finds
    // no key for a character outside ASCII in a UTF-8 locale) refuses it.
    const bool euro = VkKeyScanW(0x20AC) != -1;
    const TypingCase mixed = {"azqw@#€|[]", euro ? "azqw@#€|[]" : "azqw@#|[]",
                              euro ? std::vector<std::string>{} : std::vector<std::string>{"Invalid KeyName"}};
    if (layout == "us") {
        cases.push_back(mixed);
        cases.push_back({"{{}{}}", "{}", {}});
        cases.push_back({"xy{BS}{BKSP}z~{TAB}{ENTER 2}", "z\r\n\t\r\n\r\n", {}});
        cases.push_back({"a\xc3\xa9" "b{NOPE}", "ab", {"Invalid KeyName", "Invalid Key Name"}});
        cases.push_back({"abc{", "abc", {"No Close"}});
    } else if (layout == "fr") {
        cases.push_back(underWine() ? TypingCase{"azqw", "azqw", {}} : mixed);
    } else if (layout == "ru") {
        // A letter outside a shortcut has no key; inside one, its virtual key serves.
        cases.push_back({"12v3", "123", {"Invalid KeyName"}});
    }
    return cases;
}

// The French AltGr characters: their key, with Ctrl+Alt.
const struct {
    char32_t character;
    std::uint8_t vk;
} FrenchAltGr[] = {{U'@', 0x30}, {U'#', 0x33}, {U'|', 0x36}, {U'[', 0x35}, {U']', 0xDB}};

// The program that the shell test starts: writes its arguments to a file, one a line.
int writeArguments(int argc, char **argv)
{
    std::string lines;
    for (int i = 3; i < argc; ++i)
        lines += std::string(argv[i]) + "\n";
    wincheck::writeFile(std::string(argv[2]) + ".part", lines);
    return MoveFileA((std::string(argv[2]) + ".part").c_str(), argv[2]) ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && std::string(argv[1]) == "--write-arguments")
        return writeArguments(argc, argv);
    if (argc > 2 && std::string(argv[1]) == "--window")
        return showWindow(std::string(argv[2]) == "visible");
    const std::string layout = currentLayout();
    if (argc > 1 && !CHECK_EQ(layout, std::string(argv[1])))
        return wincheck::finish("tst_windows_windowsystem");

    // A window of the test itself, which the searches must leave out.
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "ScrivoTestWindow";
    RegisterClassA(&windowClass);
    const HWND own = CreateWindowExA(0, "ScrivoTestWindow", "Scrivo fen\xeatre propre", WS_OVERLAPPEDWINDOW, 0, 0,
                                     300, 200, nullptr, nullptr, nullptr, nullptr);
    if (!own) {
        return wincheck::skipWithoutFixture("no desktop to open windows on");
    }
    ShowWindow(own, SW_SHOW);
    platform::Win32WindowSystem ws;
    SetWindowSystem(&ws);
    SetSendKeysMessageHandler([](const std::string &text, const std::string &) { messages.push_back(text); });

    // A document of an earlier run that stopped halfway would answer the searches.
    for (int tries = 0; tries < 5 && FindWindowByTitle("lettre scrivo.txt", false); ++tries)
        closeProcessOf(hwnd(FoundWindow));

    wincheck::context = "a document opened by the shell, found by its title";
    const std::string document = wincheck::tempPath("Lettre Scrivo.txt");
    wincheck::writeFile(document, "");
    CHECK(platform::openWithDefaultApplication(document));
    if (!CHECK(waitFor([] { return FindWindowByTitle("lettre scrivo", false); }, 30000)))
        return wincheck::finish("tst_windows_windowsystem");
    const HWND notepad = hwnd(FoundWindow);
    const HWND edit = FindWindowExA(notepad, nullptr, "Edit", nullptr);
    char title[256] = {};
    GetWindowTextA(notepad, title, sizeof title);
    CHECK(FindWindowByTitle(title, false) && hwnd(FoundWindow) == FindWindowA(nullptr, title));
    CHECK(FindWindowByTitle("LETTRE", true));
    CHECK(!FindWindowByTitle("scrivo", true));
    CHECK(!FindWindowByTitle("fenêtre propre", false));

    wincheck::context = "handles and titles";
    CHECK(WindowHandleExists(wid(notepad)));
    CHECK(WindowHandleExists(wid(own)));
    CHECK(!WindowHandleExists(wid(edit))); // a child window
    SetWindowTextA(own, std::string(100, '\xe9').c_str());
    std::string cut;
    for (int i = 0; i < 79; ++i)
        cut += "é";
    CHECK_EQ(ws.windowTitle(wid(own)), cut);

    wincheck::context = "restored from minimised and activated";
    ShowWindow(notepad, SW_MINIMIZE);
    CHECK(waitFor([&] { return IsIconic(notepad) != FALSE; }));
    SetForegroundWindow(own);
    CHECK(waitSteadily([&] { return GetForegroundWindow() == own; }));
    CHECK(ActivateWindowByTitle("lettre scrivo", false));
    CHECK(activatedSteadily(notepad, [&] { return !IsIconic(notepad); }));

    wincheck::context = "a maximised document stays maximised, also after minimised";
    ShowWindow(notepad, SW_MAXIMIZE);
    CHECK(waitFor([&] { return IsZoomed(notepad) != FALSE; }));
    for (const bool minimise : {false, true}) {
        if (minimise) {
            ShowWindow(notepad, SW_MINIMIZE);
            CHECK(waitFor([&] { return IsIconic(notepad) != FALSE; }));
        }
        CHECK(ActivateWindowByTitle("lettre scrivo", false));
        CHECK(activatedSteadily(notepad));
        ActivateWindowByHandle(wid(notepad)); // as the focus wait asks again
        CHECK(waitSteadily([&] { return !IsIconic(notepad) && IsZoomed(notepad); }));
    }
    ShowWindow(notepad, SW_RESTORE);
    CHECK(activatedSteadily(notepad, [&] { return !IsZoomed(notepad); }));

    wincheck::context = "a merge code pasted from the clipboard";
    CHECK(putOnClipboard(own, "\xa3[SG : nom]#"));
    CHECK(SendKeys("^(v)", false));
    waitFor([&] { return editText(edit) == "£[SG : nom]#"; }, 5000);
    CHECK_EQ(editText(edit), "£[SG : nom]#");

    wincheck::context = "a Shift the user still holds is waited for";
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    INPUT shift = {};
    shift.type = INPUT_KEYBOARD;
    shift.ki.wVk = VK_SHIFT;
    SendInput(1, &shift, sizeof shift);
    std::thread releaser([shift]() mutable {
        Sleep(300);
        shift.ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(1, &shift, sizeof shift);
    });
    const auto start = std::chrono::steady_clock::now();
    CHECK(SendKeys("^(v)", false));
    const auto waited = std::chrono::steady_clock::now() - start;
    releaser.join();
    CHECK(waited >= std::chrono::milliseconds(250) && waited < std::chrono::milliseconds(1500));
    waitFor([&] { return editText(edit) == "£[SG : nom]#"; }, 5000);
    CHECK_EQ(editText(edit), "£[SG : nom]#");

    for (const TypingCase &c : typingCases(layout)) {
        wincheck::context = std::string("typing ") + c.keys + " (" + layout + ")";
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        messages.clear();
        SendKeys(c.keys, false);
        waitFor([&] { return editText(edit) == c.typed; }, 3000);
        CHECK_EQ(editText(edit), c.typed);
        CHECK(messages == c.shown);
    }
    for (const auto &altGr : FrenchAltGr) {
        wincheck::context = "French AltGr key for " + std::to_string(altGr.character);
        const platform::KeyValue value = ws.keyForCharacter(altGr.character);
        CHECK(layout != "fr"
              || (value.valid && value.key.vk == altGr.vk && value.shiftState == (platform::CTRL_BIT | platform::ALT_BIT)));
    }
    wincheck::context = "no modifier left down, Num Lock changed for another program";
    CHECK(waitFor([] { return !modifierDown(); }, 2000));
    // The key goes through the system's input (its "pressed since" bit is set); the state
    // another program sees is checked where Windows keeps it (Wine follows the X server's).
    const int numLock = numLockSeenBy(notepad);
    for (const int expected : {1 - numLock, numLock}) {
        GetAsyncKeyState(VK_NUMLOCK);
        CHECK(SendKeys("{NUMLOCK}", false));
        CHECK(waitFor([] { return (GetAsyncKeyState(VK_NUMLOCK) & 1) != 0; }, 2000));
        if (!underWine()) {
            waitFor([&] { return numLockSeenBy(notepad) == expected; }, 2000);
            CHECK_EQ(numLockSeenBy(notepad), expected);
        }
    }

    wincheck::context = "arguments reach the program whole";
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string written = wincheck::tempPath("scrivo-arguments.txt");
    DeleteFileA(written.c_str());
    CHECK(platform::startDetached(self, {"--write-arguments", written, "C:\\Mod\xc3\xa8les\\Lettre 1.txt",
                                         "dit \"oui\"", "dossier\\", ""}));
    // Wine may still hold the renamed file a moment after its new name shows: read until it opens.
    CHECK(waitFor([&] { return !wincheck::readFile(written).empty(); }));
    CHECK_EQ(wincheck::readFile(written), "C:\\Mod\xe8les\\Lettre 1.txt\ndit \"oui\"\ndossier\\\n\n");
    CHECK(!platform::startDetached("C:\\absent\\traitement.exe", {document}));
    CHECK(!platform::openWithDefaultApplication(wincheck::tempPath("absent.txt")));

    wincheck::context = "hidden windows left out, titles read in Unicode";
    startWindowProgram(true);
    startWindowProgram(false);
    CHECK(waitFor([] { return IsWindowVisible(FindWindowW(nullptr, VisibleTitle)) && FindWindowW(nullptr, HiddenTitle); }));
    CHECK(FindWindowByTitle("\xc5\x81\xc3\xb3" "d\xc5\xba visible", false)
          && hwnd(FoundWindow) == FindWindowW(nullptr, VisibleTitle));
    CHECK(!FindWindowByTitle("cach\xc3\xa9", false));
    CHECK(!ws.inputBlockedTo(wid(FindWindowW(nullptr, VisibleTitle)))); // a program of the same rights
    closeProcessOf(FindWindowW(nullptr, VisibleTitle));
    closeProcessOf(FindWindowW(nullptr, HiddenTitle));

    wincheck::context = "keys left down when SendInput inserts only some";
    {
        using platform::KeyEvent;
        const KeyEvent ctrlDown{{0x11, 0}, true, false}, vDown{{'V', 0}, true, false};
        const KeyEvent ctrlUp{{0x11, 0}, false, false}, vUp{{'V', 0}, false, false};
        const std::vector<KeyEvent> ctrlV = {ctrlDown, vDown, vUp, ctrlUp};
        const std::vector<std::vector<KeyEvent>> expected = {{}, {ctrlUp}, {vUp, ctrlUp}, {ctrlUp}, {}};
        for (std::size_t inserted = 0; inserted < expected.size(); ++inserted)
            CHECK(platform::releasesAfter(ctrlV, inserted) == expected[inserted]);
    }

    wincheck::context = "a handle given zero- or sign-extended, a window that answers";
    CHECK(activatedSteadily(notepad));
    CHECK(ws.windowHasFocus(wid(notepad) | 0xFFFFFFFF00000000ull) && ws.windowHasFocus(wid(notepad) & 0xFFFFFFFFull));
    CHECK(!ws.windowBusy(wid(notepad)));

    wincheck::context = "a closed window";
    closeProcessOf(notepad);
    CHECK(waitFor([&] { return !WindowHandleExists(wid(notepad)); }));
    CHECK(!FindWindowByTitle("lettre scrivo", false));
    DestroyWindow(own);
    DeleteFileA(document.c_str());
    DeleteFileA(written.c_str());
    SetWindowSystem(nullptr);
    return wincheck::finish("tst_windows_windowsystem");
}
