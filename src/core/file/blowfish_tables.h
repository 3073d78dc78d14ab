#pragma once
// The standard starting tables of Blowfish (the hexadecimal digits of pi). Internal to
// the cipher; nothing outside blowfish.cpp and its tests should need them.

#include <cstdint>

namespace tessaline {

extern const std::uint32_t kBlowfishInitialP[18];
extern const std::uint32_t kBlowfishInitialS[4][256];

}  // namespace tessaline
