#include "cli/password_input.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/base/secure_wipe.h"

namespace tessaline::cli {

namespace {

// Reads one line from fd byte by byte, so that nothing after it is consumed.
// Returns false at end of input before any byte, or on a read error (readErrno set).
bool ReadLine(int fd, std::string& line, int& readErrno) {
    line.clear();
    line.reserve(256);  // so that growing does not leave copies of the start behind
    readErrno = 0;
    char c = 0;
    bool any = false;
    for (;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            readErrno = errno;
            return false;
        }
        if (n == 0)
            return any;
        any = true;
        if (c == '\n')
            break;
        line.push_back(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

// Echo stays off only while the password is typed. An interrupting signal puts the
// terminal back before the program ends, so the shell is not left without echo.
volatile sig_atomic_t gTerminalFd = -1;
struct termios gSavedTerminal;
constexpr int kRestoredSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};

extern "C" void RestoreTerminalAndRaise(int sig) {
    if (gTerminalFd >= 0)
        ::tcsetattr(gTerminalFd, TCSAFLUSH, &gSavedTerminal);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

class EchoOff {
public:
    explicit EchoOff(int fd) : fd_(fd) {
        if (::tcgetattr(fd, &saved_) != 0)
            return;
        gSavedTerminal = saved_;
        gTerminalFd = fd;
        struct sigaction action {};
        action.sa_handler = RestoreTerminalAndRaise;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kRestoredSignals); ++i) {
            ::sigaction(kRestoredSignals[i], &action, &previous_[i]);
        }
        struct termios quiet = saved_;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        active_ = ::tcsetattr(fd, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff() {
        if (gTerminalFd < 0)
            return;
        if (active_)
            ::tcsetattr(fd_, TCSAFLUSH, &saved_);
        for (std::size_t i = 0; i < std::size(kRestoredSignals); ++i) {
            ::sigaction(kRestoredSignals[i], &previous_[i], nullptr);
        }
        gTerminalFd = -1;
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    int fd_;
    bool active_ = false;
    struct termios saved_ {};
    struct sigaction previous_[std::size(kRestoredSignals)]{};
};

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

void WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

std::optional<std::string> PasswordInput::Ask(const std::string& prompt) {
    problem_.clear();
    return fd_ < 0 ? AskTerminal(prompt) : ReadDescriptorLine();
}

std::optional<std::string> PasswordInput::AskTerminal(const std::string& prompt) {
    FdCloser tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (tty.Get() < 0) {
        problem_ =
            "there is no terminal to ask for the password on; give it as a line of the "
            "standard input instead";
        return std::nullopt;
    }
    WriteAll(tty.Get(), prompt);
    std::string line;
    int readErrno = 0;
    bool got = false;
    {
        EchoOff quiet(tty.Get());
        got = ReadLine(tty.Get(), line, readErrno);
    }
    if (!got) {
        SecureWipe(line);
        WriteAll(tty.Get(), "\n");
        problem_ = readErrno ? std::string("cannot read the password from the terminal: ") +
                                   std::strerror(readErrno)
                             : "no password was typed";
        return std::nullopt;
    }
    std::optional<std::string> result(line);
    SecureWipe(line);
    return result;
}

std::optional<std::string> PasswordInput::ReadDescriptorLine() {
    std::string line;
    int readErrno = 0;
    if (!ReadLine(fd_, line, readErrno)) {
        SecureWipe(line);
        problem_ = readErrno ? std::string("cannot read a password from the standard input: ") +
                                   std::strerror(readErrno)
                             : "the standard input holds no further password";
        return std::nullopt;
    }
    std::optional<std::string> result(line);
    SecureWipe(line);
    return result;
}

}  // namespace tessaline::cli
