#pragma once
// Putting whole files on disk without ever leaving a half-written one: the bytes go to a
// temporary file in the same folder, which replaces the target only once it is complete.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaline {

struct FileError {
    int code = 0;      // errno
    std::string what;  // what failed, e.g. "cannot create /x/y.tse: Permission denied"
};

// Replaces path with bytes. A new file is readable by its owner only; an existing one
// keeps its permissions. On failure the file at path is untouched.
std::optional<FileError> WriteFileSafely(const std::string& path,
                                         std::span<const std::uint8_t> bytes);
inline std::optional<FileError> WriteFileSafely(const std::string& path, const std::string& text) {
    return WriteFileSafely(
        path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, FileError& error);

// The file's name without its folder, as window titles show it.
std::string FileTitleOf(const std::string& path);

}  // namespace tessaline
