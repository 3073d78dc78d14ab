#pragma once
// What a second start of the program sends to the one already running: the files named
// on its command line, as absolute paths. The running program opens them and answers
// with one byte, so the second start can end.
//
// A message is the 8 bytes "TSLOPEN1", a 32-bit count of files (little-endian), then for
// each file a 32-bit length and that many bytes of path.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaline {

inline constexpr std::size_t kHandOffMaxFiles = 256;
inline constexpr std::size_t kHandOffMaxPathBytes = 4096;
inline constexpr std::uint8_t kHandOffAccepted = 'A';

// Nothing when there are too many files, a path is empty, too long or holds a zero byte.
std::optional<std::vector<std::uint8_t>> EncodeHandOff(const std::vector<std::string>& files);

struct HandOffDecoded {
    enum class Status { Incomplete, Complete, Invalid } status = Status::Incomplete;
    std::vector<std::string> files;
};
// Reads what has arrived so far. Incomplete: wait for more bytes; Invalid: the sender is
// not one of us, or broke the limits above (the connection is closed).
HandOffDecoded DecodeHandOff(std::span<const std::uint8_t> bytes);

}  // namespace tessaline
