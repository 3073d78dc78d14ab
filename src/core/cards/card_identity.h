#pragma once
// Making and writing card identities.

#include <optional>
#include <string>
#include <string_view>

#include "core/cards/card.h"

namespace tessaline {

// 16 bytes from the system's secure random source; never all zero.
CardIdentity MakeCardIdentity();
// The identity as 32 lower-case hexadecimal digits.
std::string IdentityHex(const CardIdentity& id);
// The identity the 32 hexadecimal digits stand for (either case); nothing for anything else.
std::optional<CardIdentity> ParseIdentityHex(std::string_view hex);

}  // namespace tessaline
