#include "core/app/instance_hand_off.h"

#include <algorithm>
#include <cstring>

namespace tessaline {

namespace {

constexpr char kMagic[8] = {'T', 'S', 'L', 'O', 'P', 'E', 'N', '1'};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool PathAllowed(const std::string& path) {
    return !path.empty() && path.size() <= kHandOffMaxPathBytes &&
           path.find('\0') == std::string::npos;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodeHandOff(const std::vector<std::string>& files) {
    if (files.size() > kHandOffMaxFiles || !std::all_of(files.begin(), files.end(), PathAllowed))
        return std::nullopt;
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    PutU32(out, static_cast<std::uint32_t>(files.size()));
    for (const std::string& f : files) {
        PutU32(out, static_cast<std::uint32_t>(f.size()));
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

HandOffDecoded DecodeHandOff(std::span<const std::uint8_t> bytes) {
    using Status = HandOffDecoded::Status;
    HandOffDecoded result;
    const std::size_t magicSeen = std::min(bytes.size(), sizeof kMagic);
    if (std::memcmp(bytes.data(), kMagic, magicSeen) != 0) {
        result.status = Status::Invalid;
        return result;
    }
    if (bytes.size() < sizeof kMagic + 4)
        return result;
    const std::uint32_t count = GetU32(bytes.data() + sizeof kMagic);
    if (count > kHandOffMaxFiles) {
        result.status = Status::Invalid;
        return result;
    }
    std::size_t pos = sizeof kMagic + 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - pos < 4)
            return HandOffDecoded{};
        const std::uint32_t length = GetU32(bytes.data() + pos);
        pos += 4;
        if (length == 0 || length > kHandOffMaxPathBytes) {
            result.status = Status::Invalid;
            result.files.clear();
            return result;
        }
        if (bytes.size() - pos < length)
            return HandOffDecoded{};
        std::string path(reinterpret_cast<const char*>(bytes.data() + pos), length);
        pos += length;
        if (!PathAllowed(path)) {
            result.status = Status::Invalid;
            result.files.clear();
            return result;
        }
        result.files.push_back(std::move(path));
    }
    // A sender that goes on after its files is not one of us.
    result.status = pos == bytes.size() ? Status::Complete : Status::Invalid;
    if (result.status == Status::Invalid)
        result.files.clear();
    return result;
}

}  // namespace tessaline
