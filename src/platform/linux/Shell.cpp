// Detached start on Linux: a double fork, so that the program is adopted by init and
// never waits as a zombie for us, in a session of its own, so that the end of Scrivo's
// terminal or session leader does not take it along. A close-on-exec pipe tells
// whether exec succeeded.
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

} // namespace

bool startDetached(const std::string &program, const std::vector<std::string> &arguments)
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
            const int error = errno;
            [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }

    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t got = 0;
    do {
        got = ::read(pipeFds[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    // End of file without an error code: exec succeeded and closed the pipe.
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

bool openWithDefaultApplication(const std::string &document)
{
    return startDetached("xdg-open", {document});
}

} // namespace platform
