#pragma once
// Data files on disk for tests: read and write a file's bytes, write a data file holding
// the cards given, and ask a file's header whether its cards are enciphered.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/file/data_file.h"
#include "core/platform/user_answers.h"
#include "support/card_fixtures.h"

namespace tessaline::testing {

// Small key settings for sealed files, so that each seal takes milliseconds.
inline constexpr SealSettings kQuickSeal{1, 8 * 1024};

// A folder of its own under /tmp for one test, removed with everything in it when the
// test is done.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix) {
        std::string pattern = "/tmp/" + prefix + "_XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a folder like " + pattern);
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

using Bytes = std::vector<std::uint8_t>;

// The file's bytes; none when it cannot be read.
inline Bytes ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The file's bytes as a string, for comparing with text; empty when it cannot be read.
inline std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool WriteFileText(const std::filesystem::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(out.flush());
}

inline bool WriteFileBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

// Whether the file's header says its cards are enciphered (false for a file that cannot
// be read).
inline bool IsEncryptedFile(const std::filesystem::path& path) {
    return InspectHeader(ReadFileBytes(path)).encrypted;
}

// The state a save of a plain file (no password) or a compatible enciphered one has.
inline FileCipherState CipherFor(const std::string& password) {
    FileCipherState state;
    state.encryptOnSave = !password.empty();
    state.encryptionPassword = password;
    return state;
}

// Writes a data file holding cards, stored as state says; false when it could not.
inline bool WriteDataFile(const std::filesystem::path& path, const std::vector<CardFields>& cards,
                          FileCipherState state) {
    CCardCollection collection;
    for (const CardFields& c : cards)
        AddCard(collection, c);
    const WriteResult written = BuildDataFile(collection, state);
    return written.bytes && WriteFileBytes(path, *written.bytes);
}

// Writes a data file holding cards, enciphered (in the compatible layout) when password
// is not empty.
inline bool WriteDataFile(const std::filesystem::path& path, const std::vector<CardFields>& cards,
                          const std::string& password = {}) {
    return WriteDataFile(path, cards, CipherFor(password));
}

}  // namespace tessaline::testing
