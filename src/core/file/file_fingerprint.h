#pragma once
// What a document remembers of the file it read or wrote last, to notice when another
// program changed that file since: its size, modification time and a digest of its bytes.
// Also the identity of a file (device and inode), to tell whether two names are one file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/file/sha1.h"

namespace tessaline {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The file path names now (through links); nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::string& path);
// Whether both names lead to one existing file.
bool SameExistingFile(const std::string& a, const std::string& b);

struct FileFingerprint {
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;  // nanoseconds since 1970; 0 when unknown
    Sha1Digest digest{};

    // Same bytes. The time alone says nothing: a copy or a touch changes it, and a
    // change within the clock's grain keeps it.
    bool SameContents(const FileFingerprint& other) const {
        return size == other.size && digest == other.digest;
    }
};

// The fingerprint of bytes read from (or written to) path; the time is the file's now.
FileFingerprint FingerprintOf(std::span<const std::uint8_t> bytes, const std::string& path);

enum class DiskState { Unchanged, Changed, Missing, Unreadable };
// Reads the file at path and compares it with what was remembered.
DiskState CompareWithDisk(const FileFingerprint& remembered, const std::string& path);

}  // namespace tessaline
