#include "core/health/pwned_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "core/base/secure_wipe.h"
#include "core/cards/text_encoding.h"

namespace tessaline {

namespace {

constexpr std::size_t kHashDigits = 40;
// The longest line: the hash, a colon, a 20-digit count, CR and LF.
constexpr std::size_t kLongestLine = kHashDigits + 1 + 20 + 2;
// Below this many bytes left, the rest of the range is read at once and scanned.
constexpr std::uint64_t kScanBytes = 4096;

char UpperHex(char c) {
    return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

struct ListLine {
    std::string_view hash;  // 40 hex digits as written
    std::uint64_t count = 0;
};

// One line without its line end; nothing when it is not "HASH:COUNT".
std::optional<ListLine> ParseLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.size() < kHashDigits + 2 || line[kHashDigits] != ':')
        return std::nullopt;
    ListLine out;
    out.hash = line.substr(0, kHashDigits);
    for (char c : out.hash)
        if (!IsHex(c))
            return std::nullopt;
    const std::string_view digits = line.substr(kHashDigits + 1);
    if (digits.size() > 20)
        return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const std::uint64_t next = out.count * 10 + static_cast<std::uint64_t>(c - '0');
        if (next / 10 != out.count)
            return std::nullopt;
        out.count = next;
    }
    return out;
}

// Compares a line's hash with the wanted one (upper-case), letter case ignored.
int CompareHash(std::string_view hash, std::string_view wanted) {
    for (std::size_t i = 0; i < kHashDigits; ++i) {
        const char a = UpperHex(hash[i]);
        if (a != wanted[i])
            return a < wanted[i] ? -1 : 1;
    }
    return 0;
}

std::string BadLineAt(std::uint64_t offset) {
    return "this is not a sorted list of HASH:COUNT lines (at byte " + std::to_string(offset) + ")";
}

}  // namespace

std::string Sha1Hex(const Sha1Digest& digest) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(kHashDigits);
    for (std::uint8_t b : digest) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 15]);
    }
    return out;
}

std::optional<PwnedList> PwnedList::Open(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file";
        ::close(fd);
        return std::nullopt;
    }
    return PwnedList(fd, static_cast<std::uint64_t>(st.st_size));
}

PwnedList::PwnedList(PwnedList&& other) noexcept
    : fd_(other.fd_), size_(other.size_), reads_(other.reads_) {
    other.fd_ = -1;
}

PwnedList& PwnedList::operator=(PwnedList&& other) noexcept {
    std::swap(fd_, other.fd_);
    std::swap(size_, other.size_);
    std::swap(reads_, other.reads_);
    return *this;
}

PwnedList::~PwnedList() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool PwnedList::ReadAt(std::uint64_t offset, std::size_t length, std::string& out) {
    out.resize(length);
    std::size_t got = 0;
    while (got < length) {
        ++reads_;
        const ssize_t n =
            ::pread(fd_, out.data() + got, length - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return true;
}

std::optional<std::uint64_t> PwnedList::Count(const Sha1Digest& digest, std::string& error) {
    const std::string wanted = Sha1Hex(digest);
    // lo is always the start of a line; every line that starts in [lo, hi) is still a
    // candidate, and none before lo or from hi on can be the one.
    std::uint64_t lo = 0, hi = size_;
    std::string chunk;
    while (hi - lo > kScanBytes) {
        const std::uint64_t mid = lo + (hi - lo) / 2;
        // The first line that starts after mid: past the first line end from mid - 1 on.
        if (!ReadAt(mid - 1, 2 * kLongestLine, chunk)) {
            error = std::strerror(errno);
            return std::nullopt;
        }
        const std::size_t end = chunk.find('\n');
        if (end == std::string::npos || end >= kLongestLine) {
            error = BadLineAt(mid);
            return std::nullopt;
        }
        const std::uint64_t start = mid + end;
        if (start >= hi) {
            hi = mid;
            continue;
        }
        const std::string_view rest = std::string_view(chunk).substr(end + 1);
        const std::size_t lineEnd = rest.find('\n');
        const std::string_view line = rest.substr(0, lineEnd);
        const std::optional<ListLine> parsed = ParseLine(line);
        if (!parsed || (lineEnd == std::string_view::npos && start + line.size() < size_)) {
            error = BadLineAt(start);
            return std::nullopt;
        }
        const int order = CompareHash(parsed->hash, wanted);
        if (order == 0)
            return parsed->count;
        if (order < 0) {
            lo = start + line.size() + (lineEnd == std::string_view::npos ? 0 : 1);
        } else {
            hi = start;
        }
    }
    // What is left is small: read it (and the rest of the line that starts last in it).
    const std::uint64_t until = std::min(size_, hi + kLongestLine);
    if (lo >= until)
        return 0;
    if (!ReadAt(lo, static_cast<std::size_t>(until - lo), chunk)) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    std::size_t at = 0;
    while (at < chunk.size() && lo + at < hi) {
        std::size_t lineEnd = chunk.find('\n', at);
        if (lineEnd == std::string::npos) {
            if (lo + chunk.size() < size_) {
                error = BadLineAt(lo + at);
                return std::nullopt;
            }
            lineEnd = chunk.size();
        }
        const std::string_view line = std::string_view(chunk).substr(at, lineEnd - at);
        if (!line.empty() && line != "\r") {
            const std::optional<ListLine> parsed = ParseLine(line);
            if (!parsed) {
                error = BadLineAt(lo + at);
                return std::nullopt;
            }
            const int order = CompareHash(parsed->hash, wanted);
            if (order == 0)
                return parsed->count;
            if (order > 0)
                break;
        }
        at = lineEnd + 1;
    }
    return 0;
}

std::optional<std::uint64_t> PwnedList::CountOfStoredPassword(std::string_view stored,
                                                              std::string& error) {
    SecretText shown{ShownAsUtf8(stored)};
    Sha1Digest digest = Sha1(shown.Get());
    const std::optional<std::uint64_t> count = Count(digest, error);
    SecureWipe(digest.data(), digest.size());
    return count;
}

std::optional<std::vector<HealthFinding>> FindBreachedPasswords(std::span<const CCard* const> cards,
                                                                PwnedList& list,
                                                                std::string& error) {
    std::vector<HealthFinding> found;
    for (const CCard* card : cards) {
        if (card->Password().empty())
            continue;
        const std::optional<std::uint64_t> count =
            list.CountOfStoredPassword(card->Password(), error);
        if (!count)
            return std::nullopt;
        if (*count > 0)
            found.push_back({.card = card, .problem = HealthProblem::Breached, .count = *count});
    }
    return found;
}

}  // namespace tessaline
