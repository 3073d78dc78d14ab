// A stand-in for another program that tries the browser keeper's socket.
//
//   devtools_probe SOCKET          sends Browser.getVersion and prints the reply
//   devtools_probe SOCKET --hold   sends half a command, then waits to be killed
//
// Exit status: 0 a reply came (printed), 2 no connection, 3 the keeper closed the
// connection without a reply, 4 no reply within five seconds.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2)
        return 64;
    const std::string path = argv[1];
    const bool hold = argc > 2 && std::strcmp(argv[2], "--hold") == 0;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return 64;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        std::printf("no connection\n");
        return 2;
    }
    if (hold) {
        const char half[] = "{\"id\":7,\"method\":\"Target.getTar";
        if (::send(fd, half, sizeof half - 1, MSG_NOSIGNAL) < 0)
            return 3;
        std::printf("holding\n");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    const char command[] = "{\"id\":1,\"method\":\"Browser.getVersion\"}";
    if (::send(fd, command, sizeof command, MSG_NOSIGNAL) < 0) {  // with its zero byte
        std::printf("closed\n");
        return 3;
    }
    std::string reply;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) {
            std::printf("no reply\n");
            return 4;
        }
        char chunk[4096];
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            std::printf("closed\n");
            return 3;
        }
        reply.append(chunk, static_cast<std::size_t>(n));
        // Events (of sessions an earlier client left) may come first.
        for (std::size_t end; (end = reply.find('\0')) != std::string::npos;) {
            const std::string message = reply.substr(0, end);
            reply.erase(0, end + 1);
            if (message.rfind("{\"id\":1,", 0) == 0) {
                std::printf("reply %s\n", message.c_str());
                return 0;
            }
        }
    }
}
