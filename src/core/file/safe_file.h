#pragma once
// Putting whole files on disk without ever leaving a half-written one, and reading them
// back within limits.
//
// A new file is written into an unnamed file in the target's folder (O_TMPFILE), which
// gets a name only once it is complete, flushed, and given the replaced file's owner,
// group and mode; it then replaces the target in one rename, and the folder is flushed.
// A save killed at any moment leaves the old file and nothing else, except between the
// naming and the rename: the complete new file may then stay as ".NAME.tessaline-XXXXXX"
// (always so where the filesystem has no unnamed files). Such leftovers of a target are
// removed at its next save and whenever a data file is opened (RemoveSaveLeftovers).
// A target that did not exist when its writing began is created without replacing
// anything: a file another program put there meanwhile stays.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaline {

struct FileError {
    int code = 0;      // errno
    std::string what;  // what failed, e.g. "cannot create /x/y.tse: Permission denied"
    // what is a whole sentence for the user ("/x/y.tse is read-only.") rather than a
    // system error to be put in a program's own words.
    bool explained = false;
};

// The most a file may hold to be read. The writers of data files refuse to write more, so
// that every file written can be opened again.
inline constexpr std::uint64_t kMaxReadableFileSize = 256ull * 1024 * 1024;
inline constexpr const char* kMaxReadableFileSizeText = "256 MiB";
static_assert(kMaxReadableFileSize == std::uint64_t{256} << 20, "the text says 256 MiB");

struct WriteOptions {
    // Readable by the owner only, whatever the replaced file allowed (clear-text exports,
    // printed PDF files). Otherwise a replaced file keeps its mode and a new one is 0600.
    bool ownerOnly = false;
    // The caller found no file at the target and decided on that: a file there now is
    // not replaced (Begin refuses it with EEXIST).
    bool mustBeNew = false;
};

// A file being written to replace path. Nothing appears at path until Commit; destroyed
// without Commit, it leaves the old file as it was and no temporary file behind.
class FileReplacement {
public:
    // Checks the target and creates the temporary file. A target that is not a regular
    // file, is read-only, has other hard links, or belongs to an owner or group the new
    // file could not be given, is refused here, before anything is written.
    static std::optional<FileReplacement> Begin(const std::string& path,
                                                const WriteOptions& options, FileError& error);

    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&&) = delete;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;
    ~FileReplacement();

    // A name through which other code (a printer writing a PDF) can open the unfinished
    // file for writing; it stays valid until Commit or destruction.
    const std::string& WritePath() const { return writePath_; }
    std::optional<FileError> Write(std::span<const std::uint8_t> bytes);
    // Bytes in the unfinished file so far, however they were written.
    std::uint64_t Size() const;
    // Flushes the file, gives it its mode, and puts it in place of the target.
    std::optional<FileError> Commit();

private:
    FileReplacement() = default;
    void Abandon();

    std::string shownPath_;  // the name the caller gave, for messages
    std::string folder_;
    std::string name_;      // the target's name inside folder_
    std::string tempName_;  // named temporary file (fallback), empty for an unnamed one
    std::string writePath_;
    bool replaces_ = false;  // a file was at the target when the writing began
    int dirFd_ = -1;
    int fd_ = -1;
    unsigned mode_ = 0600;
};

// Replaces path with bytes. On failure the file at path is untouched.
std::optional<FileError> WriteFileSafely(const std::string& path,
                                         std::span<const std::uint8_t> bytes,
                                         const WriteOptions& options = {});
inline std::optional<FileError> WriteFileSafely(const std::string& path, const std::string& text,
                                                const WriteOptions& options = {}) {
    return WriteFileSafely(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), options);
}

// Removes what interrupted saves of the data file at path left beside it: regular files
// of the current user named exactly as that file's temporary files are (never a link,
// never another user's file). Done only while no writer holds the file, so that a save
// under way keeps its new file.
void RemoveSaveLeftovers(const std::string& path);

// Reads a regular file of at most kMaxReadableFileSize bytes. Folders, devices, pipes and
// sockets are refused without being read (a pipe never makes this wait).
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, FileError& error);

// Reads fd (a pipe, a terminal, anything) to its end, but no more than limit bytes: at
// limit + 1 the reading stops and "NAME is larger than ..." is the error, with the bytes
// read so far wiped. name is how messages call the source ("the standard input").
std::optional<std::vector<std::uint8_t>> ReadAllWithin(int fd, const std::string& name,
                                                       std::uint64_t limit, FileError& error);

// The file's name without its folder, as window titles show it.
std::string FileTitleOf(const std::string& path);

// For tests: false makes every write take the named-temporary-file road that
// filesystems without unnamed files need.
void UseUnnamedTemporaryFiles(bool use);

}  // namespace tessaline
