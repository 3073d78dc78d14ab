#pragma once
// Passphrases: words drawn uniformly from the EFF large word list (7,776 words, so each
// word adds about 12.9 bits), joined by a separator. The list is the one the Debian
// package "diceware" installs; it is looked for when a passphrase is made.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/prefs/password_generator.h"

namespace tessaline {

inline constexpr std::size_t kEffWordCount = 7776;
inline constexpr int kPassphraseMinWords = 1;
inline constexpr int kPassphraseMaxWords = 20;
inline constexpr int kDefaultPassphraseWords = 6;
inline constexpr const char* kDefaultPassphraseSeparator = "-";
inline constexpr std::size_t kMaxSeparatorLength = 10;

inline constexpr const char* kNoWordList =
    "The EFF word list for passphrases was not found: install the package \"diceware\", "
    "which brings it (wordlist_en_eff.txt).";

// Where the list may be, in the order to try: under each folder of xdgDataDirs (the
// XDG_DATA_DIRS variable, nullptr or empty meaning /usr/local/share:/usr/share) as
// diceware/wordlists/wordlist_en_eff.txt, then where the package installs it.
std::vector<std::string> EffWordListCandidates(const char* xdgDataDirs);

// The first candidate that is a readable file; nothing when none is.
std::optional<std::string> FindEffWordList(const std::vector<std::string>& candidates);

// The words of a list file: one a line, each after an optional dice number and a tab
// ("11111\tabacus"). Nothing, with the reason in error, when the file cannot be read or
// does not hold 7,776 different words.
std::optional<std::vector<std::string>> LoadEffWordList(const std::string& path,
                                                        std::string& error);

// Finds and loads the list; error is kNoWordList when there is none.
std::optional<std::vector<std::string>> LoadInstalledEffWordList(std::string& error);

// words words of the list, each drawn uniformly with the secure random source, joined by
// separator. Nothing when the count is outside 1..20, the list is empty, or the random
// source failed.
std::optional<std::string> GeneratePassphrase(const std::vector<std::string>& list, int words,
                                              std::string_view separator);

// The randomness of what the generator makes, in bits: length characters drawn from the
// chosen classes' alphabet, or words words drawn from a list of listSize words.
double CharacterPasswordBits(const PasswordClasses& classes, int length);
double PassphraseBits(int words, std::size_t listSize = kEffWordCount);

}  // namespace tessaline
