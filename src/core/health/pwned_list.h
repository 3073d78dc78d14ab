#pragma once
// An offline list of breached passwords: lines "HASH:COUNT", HASH the 40 upper-case hex
// digits of the password's SHA-1, COUNT how often it was seen, sorted by HASH, each line
// ending in LF or CR LF. Such lists run to tens of gigabytes, so the file is never read
// whole: a lookup is a binary search over byte offsets with a few small reads.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/cards/card.h"
#include "core/file/sha1.h"
#include "core/health/password_health.h"

namespace tessaline {

class PwnedList {
public:
    // Opens the list at path; nothing, with the reason in error, when it cannot be read.
    static std::optional<PwnedList> Open(const std::string& path, std::string& error);
    PwnedList(PwnedList&& other) noexcept;
    PwnedList& operator=(PwnedList&& other) noexcept;
    PwnedList& operator=(const PwnedList&) = delete;
    PwnedList(const PwnedList&) = delete;
    ~PwnedList();

    // How often the password with this digest was seen (0: not in the list). Nothing when
    // the file is not such a list where the search looked (error says what was found).
    std::optional<std::uint64_t> Count(const Sha1Digest& digest, std::string& error);
    // The same for a card's stored password (read as the list shows it, in UTF-8).
    std::optional<std::uint64_t> CountOfStoredPassword(std::string_view stored, std::string& error);

    // How many reads the lookups so far made from the file.
    std::uint64_t Reads() const { return reads_; }

private:
    PwnedList(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    // Up to length bytes from offset.
    bool ReadAt(std::uint64_t offset, std::size_t length, std::string& out);

    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::uint64_t reads_ = 0;
};

// The 40 upper-case hex digits of a digest.
std::string Sha1Hex(const Sha1Digest& digest);

// A Breached finding for every card whose password the list holds, in the cards' order.
// Nothing, with the reason in error, when the list cannot be searched.
std::optional<std::vector<HealthFinding>> FindBreachedPasswords(std::span<const CCard* const> cards,
                                                                PwnedList& list,
                                                                std::string& error);

}  // namespace tessaline
