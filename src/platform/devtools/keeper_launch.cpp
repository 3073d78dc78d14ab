#include "platform/devtools/keeper_launch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tessaline::devtools {

pid_t StartKeeperDetached(const std::string& keeper, const std::string& socketPath,
                          const std::vector<std::string>& browserCommand) {
    if (keeper.empty() || browserCommand.empty() || browserCommand.front().empty())
        return -1;
    // Everything the children need is made before fork: after it only calls that are
    // safe in a child of a threaded program are made.
    std::vector<std::string> arguments{keeper, socketPath};
    arguments.insert(arguments.end(), browserCommand.begin(), browserCommand.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pidPipe[2];
    if (::pipe2(pidPipe, O_CLOEXEC) != 0)
        return -1;
    const pid_t first = ::fork();
    if (first < 0) {
        ::close(pidPipe[0]);
        ::close(pidPipe[1]);
        return -1;
    }
    if (first == 0) {
        ::setsid();
        const pid_t second = ::fork();
        if (second == 0) {
            const int null = ::open("/dev/null", O_RDWR);
            if (null < 0)
                ::_exit(127);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::close_range(3, ~0U, 0);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::signal(SIGPIPE, SIG_DFL);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        const ssize_t written = ::write(pidPipe[1], &second, sizeof second);
        ::_exit(written == static_cast<ssize_t>(sizeof second) ? 0 : 1);
    }
    ::close(pidPipe[1]);
    pid_t keeperPid = -1;
    ssize_t got = 0;
    do {
        got = ::read(pidPipe[0], &keeperPid, sizeof keeperPid);
    } while (got < 0 && errno == EINTR);
    ::close(pidPipe[0]);
    int status = 0;
    while (::waitpid(first, &status, 0) < 0 && errno == EINTR) {
    }
    return got == static_cast<ssize_t>(sizeof keeperPid) ? keeperPid : -1;
}

}  // namespace tessaline::devtools
