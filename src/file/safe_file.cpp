#include "file/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tessaline {

namespace {

FileError ErrorNow(const std::string& what, const std::string& path) {
    const int code = errno;
    return FileError{code, what + " " + path + ": " + std::strerror(code)};
}

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() { Close(); }
    int Close() {
        int rc = 0;
        if (fd_ >= 0)
            rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

// Writing through a link writes the file it points to, not over the link.
std::string ResolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::realpath(path.c_str(), resolved)) {
        return resolved;
    }
    return path;
}

}  // namespace

std::optional<FileError> WriteFileSafely(const std::string& requested,
                                         std::span<const std::uint8_t> bytes) {
    const std::string path = ResolveTarget(requested);
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat existing;
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            errno = EISDIR;
            return ErrorNow("cannot write", path);
        }
        mode = existing.st_mode & 07777;
    }

    std::string temp = path + ".XXXXXX";
    FdCloser fd(::mkstemp(temp.data()));
    if (fd.Get() < 0)
        return ErrorNow("cannot create", path);
    auto fail = [&](const char* what) {
        FileError error = ErrorNow(what, path);
        fd.Close();
        ::unlink(temp.c_str());
        return error;
    };
    if (::fchmod(fd.Get(), mode) != 0)
        return fail("cannot set the permissions of");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("cannot write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.Get()) != 0)
        return fail("cannot write");
    if (fd.Close() != 0) {
        FileError error = ErrorNow("cannot write", path);
        ::unlink(temp.c_str());
        return error;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        FileError error = ErrorNow("cannot replace", path);
        ::unlink(temp.c_str());
        return error;
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, FileError& error) {
    FdCloser fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        error = ErrorNow("cannot open", path);
        return std::nullopt;
    }
    struct stat st;
    if (::fstat(fd.Get(), &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        error = ErrorNow("cannot read", path);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    if (st.st_size > 0)
        data.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = ErrorNow("cannot read", path);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.insert(data.end(), chunk, chunk + n);
    }
    return data;
}

std::string FileTitleOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace tessaline
