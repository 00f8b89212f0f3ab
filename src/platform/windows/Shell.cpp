// Starting programs and documents on Windows: ShellExecuteA with the "open" verb, the
// arguments joined into one command line under the quoting rules of the Windows C
// runtime, so that each reaches the program whole. The shell may hand the work to its
// extensions, which want COM on the calling thread: it is set up for the call when the
// thread has none yet.
#include "platform/Shell.h"

#include "AnsiText.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace platform {

namespace {

// One argument as CommandLineToArgvW reads it back: always in quotes, an inner quote
// escaped, and the backslashes before a quote (or before the closing one) doubled.
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

bool shellOpen(const std::string &file, const std::string &parameters)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result = ShellExecuteA(nullptr, "open", win::toAnsi(file).c_str(),
                                           parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOW);
    if (SUCCEEDED(com))
        CoUninitialize();
    // Values up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool startDetached(const std::string &program, const std::vector<std::string> &arguments)
{
    std::string parameters;
    for (const std::string &argument : arguments) {
        if (!parameters.empty())
            parameters += ' ';
        parameters += quoteArgument(win::toAnsi(argument));
    }
    return !program.empty() && shellOpen(program, parameters);
}

bool openWithDefaultApplication(const std::string &document)
{
    return !document.empty() && shellOpen(document, std::string());
}

} // namespace platform
