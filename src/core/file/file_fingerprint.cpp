#include "core/file/file_fingerprint.h"

#include <sys/stat.h>

#include <cerrno>

#include "core/base/secure_wipe.h"
#include "core/file/safe_file.h"

namespace tessaline {

namespace {

std::int64_t ModifiedNs(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev),
                        static_cast<std::uint64_t>(st.st_ino)};
}

bool SameExistingFile(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> first = IdentityOf(a);
    return first && first == IdentityOf(b);
}

FileFingerprint FingerprintOf(std::span<const std::uint8_t> bytes, const std::string& path) {
    FileFingerprint print;
    print.size = bytes.size();
    print.digest = Sha1(bytes.data(), bytes.size());
    struct stat st;
    if (::stat(path.c_str(), &st) == 0)
        print.modifiedNs = ModifiedNs(st);
    return print;
}

DiskState CompareWithDisk(const FileFingerprint& remembered, const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? DiskState::Missing : DiskState::Unreadable;
    // Something that is no longer a file, or a different size, needs no reading.
    if (!S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) != remembered.size)
        return DiskState::Changed;
    FileError error;
    std::optional<std::vector<std::uint8_t>> now = ReadWholeFile(path, error);
    if (!now)
        return error.code == ENOENT ? DiskState::Missing : DiskState::Unreadable;
    const FileFingerprint current = FingerprintOf(*now, path);
    // A plain file holds every password in clear.
    SecureWipe(now->data(), now->size());
    return current.SameContents(remembered) ? DiskState::Unchanged : DiskState::Changed;
}

}  // namespace tessaline
