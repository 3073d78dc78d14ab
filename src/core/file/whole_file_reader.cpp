// Reading a whole file into memory: regular files only, and only up to a size that no
// file this program writes comes near, so that a device, a pipe or a huge file is turned
// away at once instead of being read without end.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/file/safe_file.h"

namespace tessaline {

namespace {

FileError SystemError(const std::string& what, const std::string& path) {
    const int code = errno;
    return FileError{code, what + " " + path + ": " + std::strerror(code), false};
}

// Why a file of this kind is not read, or nothing when it is a regular file.
std::optional<FileError> RefuseKind(const struct stat& st, const std::string& path) {
    if (S_ISREG(st.st_mode))
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return FileError{EISDIR, path + " is a folder, not a file.", true};
    return FileError{ENODEV,
                     path +
                         " is not a regular file (it is a device, a pipe or a socket); it "
                         "was not read.",
                     true};
}

FileError TooLarge(const std::string& path) {
    return FileError{EFBIG,
                     path + " is larger than " + kMaxReadableFileSizeText +
                         ", the most this program reads; it was not read.",
                     true};
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, FileError& error) {
    // Looked at before it is opened: opening a device or a pipe can wait or act.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        error = SystemError("cannot open", path);
        return std::nullopt;
    }
    if (std::optional<FileError> refused = RefuseKind(st, path)) {
        error = *refused;
        return std::nullopt;
    }
    // Non-blocking, so that a pipe put in the file's place meanwhile cannot make us wait.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0) {
        error = SystemError("cannot open", path);
        return std::nullopt;
    }
    if (::fstat(fd.Get(), &st) != 0) {
        error = SystemError("cannot read", path);
        return std::nullopt;
    }
    if (std::optional<FileError> refused = RefuseKind(st, path)) {
        error = *refused;
        return std::nullopt;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxReadableFileSize) {
        error = TooLarge(path);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = SystemError("cannot read", path);
            return std::nullopt;
        }
        if (n == 0)
            break;
        // A file that grows while it is read is still held to the limit.
        if (data.size() + static_cast<std::size_t>(n) > kMaxReadableFileSize) {
            error = TooLarge(path);
            return std::nullopt;
        }
        data.insert(data.end(), chunk, chunk + n);
    }
    return data;
}

std::string FileTitleOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace tessaline
