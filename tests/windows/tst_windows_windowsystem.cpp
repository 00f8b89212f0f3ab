// The window system on Windows and the key sender over it, with a real word processor
// (Notepad) in another process: the document opened through the shell is found by its
// title and by its handle, restored from minimised and brought to the foreground; a
// merge code put on the clipboard as CF_TEXT is pasted with "^(v)"; key strings type
// exactly their characters in the current layout (US or French AZERTY, told by the
// layout itself; under Wine, which types no character for Ctrl+Alt+key as Windows types
// AltGr ones, the French AltGr characters are checked as keys only), read back from
// Notepad's edit control; no modifier stays down. Also the arguments of a program started
// by the shell. Argument: the layout the run must meet ("us" or "fr"), if any.
#include "WinCheck.h"
#include "app/SendKeyApi.h"
#include "platform/Shell.h"
#include "platform/windows/AnsiText.h"
#include "platform/windows/Win32WindowSystem.h"

#include <chrono>
#include <cstring>
#include <functional>
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

// The layout, by where it puts A (the scan code of its key) and "@".
std::string currentLayout()
{
    const UINT scanA = MapVirtualKeyA('A', MAPVK_VK_TO_VSC);
    const SHORT at = VkKeyScanW(L'@');
    return scanA == 0x1E && at == 0x132 ? "us" : scanA == 0x10 && at == 0x630 ? "fr" : "other";
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
    std::vector<TypingCase> cases = {
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
        std::printf("no desktop to open windows on: skipped\n");
        return 77;
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
    CHECK(waitSteadily([&] { return !IsIconic(notepad) && WindowHasFocus(wid(notepad)); }));

    wincheck::context = "a merge code pasted from the clipboard";
    CHECK(putOnClipboard(own, "\xa3[SG : nom]#"));
    CHECK(SendKeys("^(v)", false));
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
    wincheck::context = "no modifier left down, Num Lock changed without a key";
    CHECK(waitFor([] { return !modifierDown(); }, 2000));
    const bool numLock = ws.numLockOn();
    CHECK(SendKeys("{NUMLOCK}", false));
    CHECK_EQ((GetKeyState(VK_NUMLOCK) & 1) != 0, !numLock);

    wincheck::context = "arguments reach the program whole";
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string written = wincheck::tempPath("scrivo-arguments.txt");
    DeleteFileA(written.c_str());
    CHECK(platform::startDetached(self, {"--write-arguments", written, "C:\\Mod\xc3\xa8les\\Lettre 1.txt",
                                         "dit \"oui\"", "dossier\\", ""}));
    CHECK(waitFor([&] { return GetFileAttributesA(written.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    CHECK_EQ(wincheck::readFile(written), "C:\\Mod\xe8les\\Lettre 1.txt\ndit \"oui\"\ndossier\\\n\n");
    CHECK(!platform::startDetached("C:\\absent\\traitement.exe", {document}));
    CHECK(!platform::openWithDefaultApplication(wincheck::tempPath("absent.txt")));

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
