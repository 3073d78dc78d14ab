#include "core/file/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace tessaline {

namespace {

constexpr std::chrono::milliseconds kRetryPause{25};

enum class TryResult { Locked, Busy, Moved, Missing, Unlockable };

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// One attempt. Locked: fd holds the lock for what path names now. Moved: path names
// something else than what was locked; try again at once. Missing: no file is there.
TryResult TryLock(const std::string& path, int& fd) {
    fd = -1;
    // Non-blocking, so that a FIFO under the name cannot hang the writer.
    const int opened = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (opened < 0)
        return errno == ENOENT ? TryResult::Missing : TryResult::Unlockable;
    struct stat held;
    if (::fstat(opened, &held) != 0 || !S_ISREG(held.st_mode)) {
        ::close(opened);
        return TryResult::Unlockable;
    }
    if (::flock(opened, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(opened);
        return error == EWOULDBLOCK ? TryResult::Busy : TryResult::Unlockable;
    }
    // Another writer may have renamed its new file over the name between the open and
    // the lock.
    struct stat now;
    if (::stat(path.c_str(), &now) != 0 || !SameInode(now, held)) {
        ::close(opened);
        return TryResult::Moved;
    }
    fd = opened;
    return TryResult::Locked;
}

}  // namespace

std::optional<DataFileLock> DataFileLock::Acquire(const std::string& path,
                                                  std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        int fd = -1;
        switch (TryLock(path, fd)) {
            case TryResult::Locked:
                return DataFileLock(fd);
            case TryResult::Missing:
                return DataFileLock(-1, true);
            case TryResult::Unlockable:
                return DataFileLock(-1);
            case TryResult::Moved:
                if (std::chrono::steady_clock::now() >= deadline)
                    return std::nullopt;
                continue;
            case TryResult::Busy:
                if (std::chrono::steady_clock::now() >= deadline)
                    return std::nullopt;
                std::this_thread::sleep_for(kRetryPause);
                continue;
        }
    }
}

DataFileLock::DataFileLock(DataFileLock&& other) noexcept
    : fd_(other.fd_), newFile_(other.newFile_) {
    other.fd_ = -1;
}

DataFileLock& DataFileLock::operator=(DataFileLock&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = other.fd_;
        newFile_ = other.newFile_;
        other.fd_ = -1;
    }
    return *this;
}

DataFileLock::~DataFileLock() {
    Release();
}

void DataFileLock::Release() {
    if (fd_ >= 0)
        ::close(fd_);  // closing the last descriptor lets go of the lock
    fd_ = -1;
}

std::string BusyFileMessage(const std::string& name) {
    return name + " is being changed by another program; try again.";
}

}  // namespace tessaline
