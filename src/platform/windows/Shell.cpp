// Starting programs and documents on Windows: ShellExecuteExW with the "open" verb (any
// character of a path, and paths of any length, reach the program), the arguments joined
// into one command line under the quoting rules of the Windows C runtime, so that each
// reaches the program whole. The shell may hand the work to its
// extensions, which want COM on the calling thread: it is set up for the call when the
// thread has none yet.
#include "platform/Shell.h"

#include "AnsiText.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace platform {

namespace {

// One argument (UTF-8) as CommandLineToArgvW reads it back: always in quotes, an inner
// quote escaped, and the backslashes before a quote (or before the closing one) doubled.
std::string quoteArgument(const std::string &argument)
{
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

bool shellOpen(const std::string &file, const std::string &parameters, ProcessId *started)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring wideFile = win::toWide(file);
    const std::wstring wideParameters = win::toWide(parameters);
    SHELLEXECUTEINFOW execution = {};
    execution.cbSize = sizeof execution;
    // No dialog of the shell's own (the caller tells the user), and the call returns once
    // the shell is done with it (COM ends right after).
    execution.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | (started ? SEE_MASK_NOCLOSEPROCESS : 0);
    execution.lpVerb = L"open";
    execution.lpFile = wideFile.c_str();
    execution.lpParameters = wideParameters.empty() ? nullptr : wideParameters.c_str();
    execution.nShow = SW_SHOW;
    const bool opened = ShellExecuteExW(&execution);
    if (started) {
        // No process when a program already running took the document over (DDE).
        *started = opened && execution.hProcess ? GetProcessId(execution.hProcess) : 0;
        if (execution.hProcess)
            CloseHandle(execution.hProcess);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return opened;
}

} // namespace

bool startDetached(const std::string &program, const std::vector<std::string> &arguments, ProcessId *started)
{
    std::string parameters;
    for (const std::string &argument : arguments) {
        if (!parameters.empty())
            parameters += ' ';
        parameters += quoteArgument(argument);
    }
    return !program.empty() && shellOpen(program, parameters, started);
}

bool openWithDefaultApplication(const std::string &document)
{
    return !document.empty() && shellOpen(document, std::string(), nullptr);
}

} // namespace platform
