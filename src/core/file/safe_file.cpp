// Replacing a file so that it is either wholly the old one or wholly the new one, with
// the old one's owner, group and mode, and no copy of its contents left lying around.

#include "core/file/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <tuple>
#include <utility>

#include "core/file/file_lock.h"

namespace tessaline {

namespace {

std::atomic<bool> gUseUnnamedFiles{true};

constexpr const char* kTempMarker = ".tessaline-";
constexpr std::size_t kTempRandomLength = 6;

FileError SystemError(int code, const std::string& what, const std::string& path) {
    return FileError{code, what + " " + path + ": " + std::strerror(code), false};
}

FileError Explained(int code, std::string text) {
    return FileError{code, std::move(text), true};
}

// A new file's name was taken by another program after the writer found it free.
FileError CreatedMeanwhile(const std::string& path) {
    return Explained(EEXIST,
                     path + " was created by another program meanwhile; it was not replaced.");
}

std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Writing through a symbolic link writes the file it points to (followed link by link, so
// that a link to a file not yet there creates that file), never over the link.
std::string FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return path;
        target.resize(static_cast<std::size_t>(n));
        if (target.front() != '/') {
            const std::string folder = SplitPath(path).first;
            target = (folder == "/" ? "/" : folder + "/") + target;
        }
        path = std::move(target);
    }
    return path;
}

// The name temporary files of a target share; short enough for any file name to fit.
std::string TempStem(const std::string& name) {
    return "." + name.substr(0, NAME_MAX - 1 - std::strlen(kTempMarker) - kTempRandomLength) +
           kTempMarker;
}

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// Whether entryName is one of the temporary files of the target whose stem is given: the
// stem, then exactly the random letters that this code and mkostemp put there.
bool IsTempNameOf(const std::string& entryName, const std::string& stem) {
    if (entryName.size() != stem.size() + kTempRandomLength ||
        entryName.compare(0, stem.size(), stem) != 0)
        return false;
    return entryName.find_first_not_of(kLetters, stem.size()) == std::string::npos;
}

std::string RandomSuffix() {
    unsigned char random[kTempRandomLength] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        static std::atomic<unsigned> counter{0};
        const unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + counter++;
        for (std::size_t i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(seed >> (i * 5));
    }
    std::string suffix;
    for (unsigned char r : random)
        suffix += kLetters[r % (sizeof kLetters - 1)];
    return suffix;
}

// Removes temporary files an earlier, interrupted save of the same target left behind:
// only regular files of ours whose names have exactly the pattern we use.
void RemoveLeftovers(int dirFd, const std::string& name) {
    const int copy = ::dup(dirFd);
    if (copy < 0)
        return;
    DIR* dir = ::fdopendir(copy);
    if (dir == nullptr) {
        ::close(copy);
        return;
    }
    const std::string stem = TempStem(name);
    std::vector<std::string> leftovers;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string entryName = entry->d_name;
        if (IsTempNameOf(entryName, stem))
            leftovers.push_back(entryName);
    }
    ::closedir(dir);
    for (const std::string& leftover : leftovers) {
        struct stat st;
        if (::fstatat(dirFd, leftover.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
            ::unlinkat(dirFd, leftover.c_str(), 0);
        }
    }
}

// Read-only for us: no write permission at all (which even root respects here), or the
// system says we may not write it.
bool IsReadOnly(int dirFd, const std::string& name, const struct stat& st) {
    if ((st.st_mode & 0222) == 0)
        return true;
    if (::faccessat(dirFd, name.c_str(), W_OK, AT_EACCESS) != 0)
        return errno == EACCES || errno == EPERM || errno == EROFS;
    return false;
}

std::string UserName(uid_t uid) {
    struct passwd pw;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &pw, buffer, sizeof buffer, &found) == 0 && found)
        return found->pw_name;
    return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    struct group gr;
    struct group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(gid, &gr, buffer, sizeof buffer, &found) == 0 && found)
        return found->gr_name;
    return std::to_string(gid);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

void UseUnnamedTemporaryFiles(bool use) {
    gUseUnnamedFiles = use;
}

std::optional<FileReplacement> FileReplacement::Begin(const std::string& path,
                                                      const WriteOptions& options,
                                                      FileError& error) {
    FileReplacement r;
    r.shownPath_ = path;
    std::tie(r.folder_, r.name_) = SplitPath(FollowLinks(path));
    if (r.name_.empty() || r.name_ == "." || r.name_ == "..") {
        error = SystemError(EISDIR, "cannot write", path);
        return std::nullopt;
    }
    r.dirFd_ = ::open(r.folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (r.dirFd_ < 0) {
        error = SystemError(errno, "cannot create", path);
        return std::nullopt;
    }

    struct stat target;
    const bool exists = ::fstatat(r.dirFd_, r.name_.c_str(), &target, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists) {
        if (S_ISDIR(target.st_mode)) {
            error = SystemError(EISDIR, "cannot write", path);
            return std::nullopt;
        }
        if (!S_ISREG(target.st_mode)) {
            error = Explained(EINVAL, path + " is not a regular file; it was not replaced.");
            return std::nullopt;
        }
        if (IsReadOnly(r.dirFd_, r.name_, target)) {
            error = Explained(EACCES, path + " is read-only.");
            return std::nullopt;
        }
        // Renaming over one name of a hard-linked file would leave its other names with
        // the old cards, and writing it in place could leave it half-written if the save
        // were killed; so such a file is not replaced.
        if (target.st_nlink > 1) {
            error = Explained(EMLINK, path +
                                          " has other names (hard links) that saving would part "
                                          "from it; it was not replaced. Save it under a new name "
                                          "instead.");
            return std::nullopt;
        }
        r.mode_ = options.ownerOnly ? 0600 : (target.st_mode & 07777);
    } else if (errno != ENOENT) {
        error = SystemError(errno, "cannot write", path);
        return std::nullopt;
    }
    if (exists && options.mustBeNew) {
        error = CreatedMeanwhile(path);
        return std::nullopt;
    }
    r.replaces_ = exists;

    RemoveLeftovers(r.dirFd_, r.name_);

    if (gUseUnnamedFiles) {
        r.fd_ = ::openat(r.dirFd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (r.fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            error = SystemError(errno, "cannot create", path);
            return std::nullopt;
        }
    }
    if (r.fd_ >= 0) {
        r.writePath_ = "/proc/self/fd/" + std::to_string(r.fd_);
    } else {
        std::string temp =
            r.folder_ + "/" + TempStem(r.name_) + std::string(kTempRandomLength, 'X');
        r.fd_ = ::mkostemp(temp.data(), O_CLOEXEC);
        if (r.fd_ < 0) {
            error = SystemError(errno, "cannot create", path);
            return std::nullopt;
        }
        r.tempName_ = SplitPath(temp).second;
        r.writePath_ = temp;
    }

    // The new file belongs to whoever owned the old one. When that cannot be, the old
    // file stays: replacing it would take it from its owner.
    struct stat temp;
    if (exists && ::fstat(r.fd_, &temp) == 0 &&
        (temp.st_uid != target.st_uid || temp.st_gid != target.st_gid) &&
        ::fchown(r.fd_, target.st_uid, target.st_gid) != 0) {
        const int code = errno;
        error = Explained(code, path + " belongs to user " + UserName(target.st_uid) +
                                    " and group " + GroupName(target.st_gid) +
                                    ", which this program may not give to the new copy; it was "
                                    "not replaced.");
        return std::nullopt;
    }
    return r;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : shownPath_(std::move(other.shownPath_)),
      folder_(std::move(other.folder_)),
      name_(std::move(other.name_)),
      tempName_(std::exchange(other.tempName_, {})),
      writePath_(std::move(other.writePath_)),
      replaces_(other.replaces_),
      dirFd_(std::exchange(other.dirFd_, -1)),
      fd_(std::exchange(other.fd_, -1)),
      mode_(other.mode_) {}

FileReplacement::~FileReplacement() {
    Abandon();
}

void FileReplacement::Abandon() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!tempName_.empty() && dirFd_ >= 0)
        ::unlinkat(dirFd_, tempName_.c_str(), 0);
    tempName_.clear();
    if (dirFd_ >= 0)
        ::close(dirFd_);
    dirFd_ = -1;
}

std::optional<FileError> FileReplacement::Write(std::span<const std::uint8_t> bytes) {
    if (fd_ < 0)
        return SystemError(EBADF, "cannot write", shownPath_);
    if (!WriteAll(fd_, bytes))
        return SystemError(errno, "cannot write", shownPath_);
    return std::nullopt;
}

std::uint64_t FileReplacement::Size() const {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

namespace {

// Gives the open unnamed file fd the name in dirFd; errno's code when that fails
// (EEXIST: the name is taken). Linking by the descriptor itself needs a privilege most
// users lack; its /proc name does the same for them.
int LinkUnnamed(int fd, int dirFd, const std::string& name) {
    if (::linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    if (errno == EEXIST)
        return EEXIST;
    const std::string viaProc = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, viaProc.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    return errno;
}

// Renames from to to in dirFd unless to exists; errno's code when that fails (EEXIST:
// it exists). Where the filesystem cannot rename that way, a hard link does the same.
int RenameWithoutReplacing(int dirFd, const std::string& from, const std::string& to) {
    if (::renameat2(dirFd, from.c_str(), dirFd, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    if (::linkat(dirFd, from.c_str(), dirFd, to.c_str(), 0) != 0)
        return errno;
    ::unlinkat(dirFd, from.c_str(), 0);
    return 0;
}

}  // namespace

std::optional<FileError> FileReplacement::Commit() {
    auto fail = [this](FileError error) {
        Abandon();
        return error;
    };
    auto failCode = [this, &fail](int code, const char* what) {
        return fail(SystemError(code, what, shownPath_));
    };
    if (fd_ < 0)
        return failCode(EBADF, "cannot write");
    if (::fchmod(fd_, static_cast<mode_t>(mode_)) != 0)
        return failCode(errno, "cannot set the permissions of");
    if (::fsync(fd_) != 0)
        return failCode(errno, "cannot write");

    if (!replaces_) {
        // Nothing was there when the writing began: the complete file gets the target's
        // name only if that is still free, so that no file made meanwhile is lost.
        const int code = tempName_.empty() ? LinkUnnamed(fd_, dirFd_, name_)
                                           : RenameWithoutReplacing(dirFd_, tempName_, name_);
        if (code == EEXIST)
            return fail(CreatedMeanwhile(shownPath_));
        if (code != 0)
            return failCode(code, "cannot create");
        tempName_.clear();
        if (::close(std::exchange(fd_, -1)) != 0)
            return failCode(errno, "cannot write");
    } else {
        if (tempName_.empty()) {
            // Give the unnamed file a temporary name beside the target, then rename it over.
            const std::string stem = TempStem(name_);
            int code = EEXIST;
            for (int attempt = 0; attempt < 100 && code == EEXIST; ++attempt) {
                const std::string candidate = stem + RandomSuffix();
                code = LinkUnnamed(fd_, dirFd_, candidate);
                if (code == 0)
                    tempName_ = candidate;
            }
            if (code != 0)
                return failCode(code, "cannot create");
        }
        if (::close(std::exchange(fd_, -1)) != 0)
            return failCode(errno, "cannot write");
        if (::renameat(dirFd_, tempName_.c_str(), dirFd_, name_.c_str()) != 0)
            return failCode(errno, "cannot replace");
        tempName_.clear();
    }
    // The new name reaches the disk only with the folder.
    if (::fsync(dirFd_) != 0 && errno != EINVAL)
        return failCode(errno, "cannot flush the folder of");
    Abandon();
    return std::nullopt;
}

void RemoveSaveLeftovers(const std::string& path) {
    // A writer holding the file may be between naming its new file and the rename.
    const std::optional<DataFileLock> lock =
        DataFileLock::Acquire(path, std::chrono::milliseconds(0));
    if (!lock || !lock->Held())
        return;
    const auto [folder, name] = SplitPath(FollowLinks(path));
    if (name.empty() || name == "." || name == "..")
        return;
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return;
    RemoveLeftovers(dirFd, name);
    ::close(dirFd);
}

std::optional<FileError> WriteFileSafely(const std::string& path,
                                         std::span<const std::uint8_t> bytes,
                                         const WriteOptions& options) {
    FileError error;
    std::optional<FileReplacement> file = FileReplacement::Begin(path, options, error);
    if (!file)
        return error;
    if (std::optional<FileError> failed = file->Write(bytes))
        return failed;
    return file->Commit();
}

}  // namespace tessaline
