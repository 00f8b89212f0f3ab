// Detached start on Linux: a double fork, so that the program is adopted by init and
// never waits as a zombie for us, in a session of its own, so that the end of Scrivo's
// terminal or session leader does not take it along. A close-on-exec pipe tells the
// program's process identifier, and whether exec succeeded.
#include "platform/Shell.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

bool isExecutableFile(const std::string &path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The file exec will run: a name without "/" is looked up in PATH before forking, since
// a PATH search is not safe between fork and exec.
std::string resolveProgram(const std::string &program)
{
    if (program.empty() || program.find('/') != std::string::npos)
        return program;
    const char *env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string folder = end > start ? path.substr(start, end - start) : std::string(".");
        const std::string candidate = folder + "/" + program;
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return std::string();
}

// One message on the pipe: written whole (it is far below PIPE_BUF), so that the two
// writers' messages never mix.
struct StartMessage {
    char kind; ///< 'p': the program's process identifier; 'e': the errno of its exec
    int value;
};

void tell(int fd, char kind, int value)
{
    const StartMessage message{kind, value};
    [[maybe_unused]] const ssize_t written = ::write(fd, &message, sizeof message);
}

} // namespace

bool startDetached(const std::string &program, const std::vector<std::string> &arguments, ProcessId *started)
{
    const std::string file = resolveProgram(program);
    if (file.empty())
        return false;

    std::vector<std::string> strings;
    strings.reserve(arguments.size() + 1);
    strings.push_back(program);
    strings.insert(strings.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;

    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }
    if (child == 0) {
        // Only async-signal-safe calls from here to exec.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            for (int signal = 1; signal < NSIG; ++signal)
                std::signal(signal, SIG_DFL);
            // Our descriptors (the X connection, sockets of the database client...) are
            // not the program's business.
            ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
            ::execv(file.c_str(), argv.data());
            tell(pipeFds[1], 'e', errno);
            ::_exit(127);
        }
        if (grandchild > 0)
            tell(pipeFds[1], 'p', grandchild);
        ::_exit(grandchild < 0 ? 1 : 0);
    }

    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // Read to the end of file: the program's identifier, then an exec error or nothing
    // (exec succeeded and closed the pipe).
    bool execFailed = false;
    int startedId = 0;
    for (;;) {
        StartMessage message{};
        const ssize_t got = ::read(pipeFds[0], &message, sizeof message);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != sizeof message)
            break;
        if (message.kind == 'p')
            startedId = message.value;
        else
            execFailed = true;
    }
    ::close(pipeFds[0]);
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !execFailed;
    if (started)
        *started = ok ? ProcessId(startedId) : 0;
    return ok;
}

bool openWithDefaultApplication(const std::string &document)
{
    return startDetached("xdg-open", {document});
}

} // namespace platform
