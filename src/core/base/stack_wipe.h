#pragma once
// Clearing the stack below the caller: what a function that has returned (a key
// derivation, a cipher) left in its frames stays in memory until something else happens
// to overwrite it. Call this right after such a function returns, on the same thread.

#include <cstddef>

namespace tessaline {

// How much stack WipeStackBelow clears: far more than the key derivation and the ciphers
// ever use, and well inside the smallest thread stack the programs start.
inline constexpr std::size_t kStackWipeBytes = std::size_t{64} << 10;

// Zeros the vector registers (which the ciphers leave holding the key) and overwrites
// kStackWipeBytes of stack beneath the caller's frame with zeros.
void WipeStackBelow();

}  // namespace tessaline
