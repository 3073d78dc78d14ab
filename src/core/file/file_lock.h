#pragma once
// Keeping two writers of one data file apart. Every program that reads a data file,
// changes it and writes it back holds this advisory lock from before the read until
// after the write, so a second writer waits instead of losing the first one's change.
//
// Saves replace the file by renaming a new one over it, so the lock is taken on the
// file's inode and then checked: when the name meanwhile names another inode (another
// writer's new file), the lock moves to that one. A name with no file yet is not locked
// at all (so writers of other files in its folder never wait for it): the lock says it
// is for a new file, and the writer then creates the file only if the name is still free
// (WriteOptions::mustBeNew), never replacing one another program made meanwhile. No lock
// file is made: nothing is left beside the user's files, and a writer that dies lets go
// at once.

#include <chrono>
#include <optional>
#include <string>

namespace tessaline {

// How long a writer waits for another one before giving up.
inline constexpr std::chrono::milliseconds kDataFileLockWait{3000};

class DataFileLock {
public:
    // Locks path for writing, waiting up to wait while another writer holds it; nothing
    // when it is still held then. Where no lock can be taken at all (a folder that cannot
    // be read, a file system without locks) the returned lock holds nothing and the
    // writer goes on without one.
    static std::optional<DataFileLock> Acquire(const std::string& path,
                                               std::chrono::milliseconds wait = kDataFileLockWait);

    DataFileLock(DataFileLock&& other) noexcept;
    DataFileLock& operator=(DataFileLock&& other) noexcept;
    DataFileLock(const DataFileLock&) = delete;
    DataFileLock& operator=(const DataFileLock&) = delete;
    ~DataFileLock();

    // Whether a lock is held (false where none could be taken, and for a new file).
    bool Held() const { return fd_ >= 0; }
    // No file was there when the lock was taken: the writer must create it without
    // replacing anything.
    bool ForNewFile() const { return newFile_; }
    // Lets go before the end of the scope.
    void Release();

private:
    explicit DataFileLock(int fd, bool newFile = false) : fd_(fd), newFile_(newFile) {}
    int fd_ = -1;
    bool newFile_ = false;
};

// "NAME is being changed by another program; try again."
std::string BusyFileMessage(const std::string& name);

}  // namespace tessaline
