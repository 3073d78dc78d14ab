#include "core/cards/card_identity.h"

#include <sodium.h>

namespace tessaline {

CardIdentity MakeCardIdentity() {
    CardIdentity id{};
    do
        randombytes_buf(id.data(), id.size());
    while (!HasIdentity(id));
    return id;
}

std::string IdentityHex(const CardIdentity& id) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(id.size() * 2);
    for (std::uint8_t b : id) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

std::optional<CardIdentity> ParseIdentityHex(std::string_view hex) {
    if (hex.size() != 32)
        return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    CardIdentity id{};
    for (std::size_t i = 0; i < id.size(); ++i) {
        const int hi = digit(hex[2 * i]);
        const int lo = digit(hex[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        id[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return id;
}

}  // namespace tessaline
