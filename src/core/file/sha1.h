#pragma once
// SHA-1 (FIPS 180-1).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessaline {

using Sha1Digest = std::array<std::uint8_t, 20>;

Sha1Digest Sha1(const std::uint8_t* data, std::size_t length);
inline Sha1Digest Sha1(std::string_view text) {
    return Sha1(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace tessaline
