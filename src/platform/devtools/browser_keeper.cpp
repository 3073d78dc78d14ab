// tessaline-browser-keeper SOCKET PROGRAM [ARGUMENT...]
//
// Holds the far end of the automation browser's DevTools pipe. The browser is started as
// our child with the pipe on its file descriptors 3 (commands it reads) and 4 (replies
// and events it writes), messages ending in a zero byte. The browser quits when that
// pipe closes, so this small process keeps it open for as long as the browser runs, in
// a session of its own, and lends it to Tessaline over a local socket at SOCKET (inside
// the user's private socket folder): only processes of our own user are served, one at
// a time, and only whole messages are passed on. It ends when its browser ends.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/base/secure_wipe.h"
#include "core/platform/process_hardening.h"

namespace {

using tessaline::SecureWipe;

// A message larger than this from a client ends that client (it cannot be a command).
constexpr std::size_t kMaxClientMessage = 64u << 20;
// A client that does not take its replies within this time is dropped.
constexpr int kClientSendTimeoutSeconds = 10;

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void Reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// Set by SIGTERM, SIGINT and SIGHUP: the keeper ends in order (its socket goes, and the
// browser quits as its pipe closes).
volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

bool WriteAll(int fd, const char* data, std::size_t size, bool isSocket) {
    while (size > 0) {
        const ssize_t n = isSocket ? ::send(fd, data, size, MSG_NOSIGNAL) : ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads what is there into `buffer`. False at the end of the stream or on an error.
bool ReadSome(int fd, std::string& buffer) {
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buffer.append(chunk, static_cast<std::size_t>(n));
        SecureWipe(chunk, static_cast<std::size_t>(n));
        return true;
    }
}

// The length of the whole messages at the front of `buffer` (each ends in a zero byte).
std::size_t WholeMessagesLength(const std::string& buffer) {
    const std::size_t last = buffer.rfind('\0');
    return last == std::string::npos ? 0 : last + 1;
}

// Removes the first `length` bytes, wiping them: they may hold passwords.
void Consume(std::string& buffer, std::size_t length) {
    SecureWipe(buffer.data(), length);
    buffer.erase(0, length);
}

void DropAll(std::string& buffer) {
    SecureWipe(buffer);
}

bool PeerIsOurUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 &&
           length == sizeof peer && peer.uid == ::getuid();
}

// Starts the browser with the pipe on its descriptors 3 and 4. Gives its pid, or -1.
pid_t StartBrowser(char** argv, UniqueFd& commandsToBrowser, UniqueFd& repliesFromBrowser) {
    int commands[2];
    int replies[2];
    if (::pipe2(commands, O_CLOEXEC) != 0)
        return -1;
    if (::pipe2(replies, O_CLOEXEC) != 0) {
        ::close(commands[0]);
        ::close(commands[1]);
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Moved above 4 first, so that putting one on 3 or 4 cannot close the other.
        const int in = ::fcntl(commands[0], F_DUPFD, 10);
        const int out = ::fcntl(replies[1], F_DUPFD, 10);
        if (in < 0 || out < 0 || ::dup2(in, 3) != 3 || ::dup2(out, 4) != 4)
            ::_exit(127);
        ::close(in);
        ::close(out);
        ::signal(SIGPIPE, SIG_DFL);
        ::execvp(argv[0], argv);
        ::_exit(127);
    }
    ::close(commands[0]);
    ::close(replies[1]);
    if (pid < 0) {
        ::close(commands[1]);
        ::close(replies[0]);
        return -1;
    }
    commandsToBrowser.Reset(commands[1]);
    repliesFromBrowser.Reset(replies[0]);
    return pid;
}

int Serve(const std::string& socketPath, char** browserArgv) {
    // One keeper per socket: the lock is held for the keeper's whole life.
    UniqueFd lock(
        ::open((socketPath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock.Valid() || ::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        std::fprintf(stderr, "tessaline-browser-keeper: %s is served already\n",
                     socketPath.c_str());
        return 3;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        std::fprintf(stderr, "tessaline-browser-keeper: socket path too long\n");
        return 2;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    // A socket file left by a keeper that was killed: ours to replace, we hold the lock.
    ::unlink(socketPath.c_str());
    UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener.Valid() ||
        ::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(socketPath.c_str(), 0600) != 0 || ::listen(listener.Get(), 8) != 0) {
        std::fprintf(stderr, "tessaline-browser-keeper: cannot listen on %s: %s\n",
                     socketPath.c_str(), std::strerror(errno));
        return 1;
    }

    UniqueFd toBrowser;
    UniqueFd fromBrowser;
    const pid_t browser = StartBrowser(browserArgv, toBrowser, fromBrowser);
    if (browser < 0) {
        ::unlink(socketPath.c_str());
        return 1;
    }

    UniqueFd client;
    std::string fromClientBuffer;
    std::string fromBrowserBuffer;
    auto dropClient = [&] {
        client.Reset();
        // A half message of a client that left never reaches the browser.
        DropAll(fromClientBuffer);
    };

    bool browserRuns = true;
    while (browserRuns && !stopRequested) {
        std::vector<pollfd> fds;
        fds.push_back({fromBrowser.Get(), POLLIN, 0});
        if (client.Valid())
            fds.push_back({client.Get(), POLLIN, 0});
        else
            fds.push_back({listener.Get(), POLLIN, 0});  // the next client waits its turn
        const int ready = ::poll(fds.data(), fds.size(), 1000);
        if (ready < 0 && errno != EINTR)
            break;
        int status = 0;
        if (::waitpid(browser, &status, WNOHANG) == browser)
            break;
        if (ready <= 0)
            continue;

        if (fds[0].revents != 0) {
            if (!ReadSome(fromBrowser.Get(), fromBrowserBuffer)) {
                browserRuns = false;
            } else {
                const std::size_t whole = WholeMessagesLength(fromBrowserBuffer);
                // Replies and events arriving while nobody is connected are let go.
                if (whole > 0 && client.Valid() &&
                    !WriteAll(client.Get(), fromBrowserBuffer.data(), whole, true))
                    dropClient();
                Consume(fromBrowserBuffer, whole);
            }
        }
        if (fds[1].revents == 0)
            continue;
        if (!client.Valid()) {
            UniqueFd accepted(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (!accepted.Valid() || !PeerIsOurUser(accepted.Get()))
                continue;  // closed at once: another user gets nothing, not even a reply
            const timeval sendTimeout{kClientSendTimeoutSeconds, 0};
            ::setsockopt(accepted.Get(), SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
            client.Reset(accepted.Release());
            continue;
        }
        if (!ReadSome(client.Get(), fromClientBuffer)) {
            dropClient();
            continue;
        }
        const std::size_t whole = WholeMessagesLength(fromClientBuffer);
        if (whole > 0) {
            if (!WriteAll(toBrowser.Get(), fromClientBuffer.data(), whole, false))
                browserRuns = false;
            Consume(fromClientBuffer, whole);
        }
        if (fromClientBuffer.size() > kMaxClientMessage)
            dropClient();
    }

    ::unlink(socketPath.c_str());
    client.Reset();
    toBrowser.Reset();
    fromBrowser.Reset();
    DropAll(fromClientBuffer);
    DropAll(fromBrowserBuffer);
    int status = 0;
    while (::waitpid(browser, &status, 0) < 0 && errno == EINTR) {
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tessaline::HardenProcessAgainstDumps();
    if (argc < 3) {
        std::fprintf(stderr, "usage: tessaline-browser-keeper SOCKET PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    // Its own session: the end of Tessaline, or a signal to its process group, does not
    // end the browser the user still looks at.
    ::setsid();
    ::umask(077);
    ::signal(SIGPIPE, SIG_IGN);
    struct sigaction stop {};
    stop.sa_handler = RequestStop;
    sigemptyset(&stop.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &stop, nullptr);
    return Serve(argv[1], argv + 2);
}
