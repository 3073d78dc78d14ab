// Reading a whole file into memory: regular files only, and only up to a size that no
// file this program writes comes near, so that a device, a pipe or a huge file is turned
// away at once instead of being read without end.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/base/secure_wipe.h"
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

std::string SizeText(std::uint64_t limit) {
    if (limit == kMaxReadableFileSize)
        return kMaxReadableFileSizeText;
    return std::to_string(limit) + (limit == 1 ? " byte" : " bytes");
}

FileError TooLarge(const std::string& path, std::uint64_t limit = kMaxReadableFileSize) {
    return FileError{EFBIG,
                     path + " is larger than " + SizeText(limit) +
                         ", the most this program reads; it was not read.",
                     true};
}

enum class ReadEnd { Done, TooLarge, Failed };

// Appends what fd holds up to its end to data, but never more than limit bytes in all.
// The bytes may be secret: when data has to grow, the old buffer is wiped before it is
// let go.
ReadEnd ReadInto(int fd, std::uint64_t limit, std::vector<std::uint8_t>& data) {
    std::uint8_t chunk[65536];
    ReadEnd end = ReadEnd::Done;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            end = ReadEnd::Failed;
            break;
        }
        if (n == 0)
            break;
        const std::size_t count = static_cast<std::size_t>(n);
        if (data.size() + count > limit) {
            end = ReadEnd::TooLarge;
            break;
        }
        if (data.size() + count > data.capacity()) {
            std::vector<std::uint8_t> larger;
            larger.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(
                limit, std::max<std::size_t>(data.capacity() * 2, data.size() + count))));
            larger.assign(data.begin(), data.end());
            SecureWipe(data.data(), data.size());
            data.swap(larger);
        }
        data.insert(data.end(), chunk, chunk + count);
    }
    SecureWipe(chunk, sizeof chunk);
    return end;
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
    // A file that grows while it is read is still held to the limit.
    switch (ReadInto(fd.Get(), kMaxReadableFileSize, data)) {
        case ReadEnd::Done:
            return data;
        case ReadEnd::TooLarge:
            error = TooLarge(path);
            break;
        case ReadEnd::Failed:
            error = SystemError("cannot read", path);
            break;
    }
    SecureWipe(data.data(), data.size());
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadAllWithin(int fd, const std::string& name,
                                                       std::uint64_t limit, FileError& error) {
    std::vector<std::uint8_t> data;
    switch (ReadInto(fd, limit, data)) {
        case ReadEnd::Done:
            return data;
        case ReadEnd::TooLarge:
            error = TooLarge(name, limit);
            break;
        case ReadEnd::Failed:
            error = SystemError("cannot read", name);
            break;
    }
    SecureWipe(data.data(), data.size());
    return std::nullopt;
}

std::string FileTitleOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace tessaline
