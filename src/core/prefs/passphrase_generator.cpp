#include "core/prefs/passphrase_generator.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>

#include "core/base/secure_wipe.h"

namespace tessaline {

namespace {

constexpr const char* kListInFolder = "/diceware/wordlists/wordlist_en_eff.txt";
// Where Debian's package puts it (the Python package's own folder).
constexpr const char* kPackagedList =
    "/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt";
// Far more than the list's 108 KB; a larger file is not a word list.
constexpr std::uintmax_t kLargestList = 1 << 20;

bool IsWordCharacter(char c) {
    return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\0';
}

}  // namespace

std::vector<std::string> EffWordListCandidates(const char* xdgDataDirs) {
    std::string dirs = xdgDataDirs != nullptr ? xdgDataDirs : "";
    if (dirs.empty())
        dirs = "/usr/local/share:/usr/share";
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at <= dirs.size()) {
        std::size_t end = dirs.find(':', at);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = dirs.substr(at, end - at);
        // Only absolute folders count, as the variable's rules say.
        if (!dir.empty() && dir.front() == '/')
            out.push_back(dir + kListInFolder);
        at = end + 1;
    }
    out.push_back(kPackagedList);
    return out;
}

std::optional<std::string> FindEffWordList(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(path.c_str(), R_OK) == 0)
            return path;
    }
    return std::nullopt;
}

std::optional<std::vector<std::string>> LoadEffWordList(const std::string& path,
                                                        std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uintmax_t>(st.st_size) > kLargestList) {
        error = path + " is not a word list file.";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + " cannot be read.";
        return std::nullopt;
    }
    std::vector<std::string> words;
    std::set<std::string> seen;
    bool distinct = true;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        // "11111\tabacus": the dice number goes.
        if (const std::size_t tab = line.find('\t'); tab != std::string::npos)
            line.erase(0, tab + 1);
        bool ok = !line.empty();
        for (char c : line)
            ok = ok && IsWordCharacter(c);
        if (!ok) {
            error = path + " is not the EFF large word list: a line holds no single word.";
            return std::nullopt;
        }
        distinct = seen.insert(line).second && distinct;
        words.push_back(std::move(line));
    }
    if (words.size() != kEffWordCount || !distinct) {
        error = path + " is not the EFF large word list: it holds " + std::to_string(seen.size()) +
                " different words, not 7776.";
        return std::nullopt;
    }
    return words;
}

std::optional<std::vector<std::string>> LoadInstalledEffWordList(std::string& error) {
    const std::optional<std::string> path =
        FindEffWordList(EffWordListCandidates(std::getenv("XDG_DATA_DIRS")));
    if (!path) {
        error = kNoWordList;
        return std::nullopt;
    }
    return LoadEffWordList(*path, error);
}

std::optional<std::string> GeneratePassphrase(const std::vector<std::string>& list, int words,
                                              std::string_view separator) {
    if (list.empty() || list.size() > 65536 || words < kPassphraseMinWords ||
        words > kPassphraseMaxWords)
        return std::nullopt;
    const auto n = static_cast<std::uint32_t>(list.size());
    // Two random bytes a draw; draws at or above the largest multiple of n are drawn again,
    // so that every word is equally likely.
    const std::uint32_t limit = 65536 - 65536 % n;
    std::string phrase;
    // Room for the longest words, so that the text is never moved (leaving a copy behind).
    phrase.reserve(static_cast<std::size_t>(words) * (16 + separator.size()));
    std::uint8_t pool[64];
    std::size_t used = sizeof pool;
    int made = 0;
    while (made < words) {
        if (used == sizeof pool) {
            if (!FillSecureRandom(pool, sizeof pool)) {
                SecureWipe(pool, sizeof pool);
                SecureWipe(phrase);
                return std::nullopt;
            }
            used = 0;
        }
        const std::uint32_t r = (std::uint32_t{pool[used]} << 8) | pool[used + 1];
        used += 2;
        if (r >= limit)
            continue;
        if (made > 0)
            phrase.append(separator);
        phrase.append(list[r % n]);
        ++made;
    }
    SecureWipe(pool, sizeof pool);
    return phrase;
}

double CharacterPasswordBits(const PasswordClasses& classes, int length) {
    const std::size_t size = PasswordAlphabet(classes).size();
    if (size == 0 || length <= 0)
        return 0;
    return length * std::log2(static_cast<double>(size));
}

double PassphraseBits(int words, std::size_t listSize) {
    if (words <= 0 || listSize == 0)
        return 0;
    return words * std::log2(static_cast<double>(listSize));
}

}  // namespace tessaline
