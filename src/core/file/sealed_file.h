#pragma once
// The sealed data file: the complete plain data file, sealed with XChaCha20-Poly1305
// under a key that Argon2id derives from the password. Only libsodium's own functions
// do the cryptography.
//
//   offset  size  content (integers little-endian)
//        0    16  the ASCII bytes "TessalineSealed1"
//       16     1  key derivation: 1 = Argon2id v1.3
//       17     1  cipher: 1 = XChaCha20-Poly1305 IETF
//       18     2  zero
//       20     4  Argon2id operations limit
//       24     8  Argon2id memory limit in bytes
//       32    16  salt, new at every save
//       48    24  nonce, new at every save
//       72  n+16  the sealed plain data file; the 72 bytes above are its associated data
//
// The second sealed layout has the same 72-byte header with the magic "TessalineSealed2",
// seals the cards as a CBOR payload (see sealed_payload.h) instead of a plain data file,
// and ends in 32 more bytes: the BLAKE2b-256 hash (no key) of every byte before them, so
// that a file changed after it was written is told from a wrong password before the
// password is asked for.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/file/locked_memory.h"

namespace tessaline {

inline constexpr std::size_t kSealedHeaderSize = 72;
inline constexpr std::size_t kSealTagSize = 16;
inline constexpr std::size_t kSealSaltSize = 16;
inline constexpr std::size_t kSealNonceSize = 24;
inline constexpr std::size_t kSealKeySize = 32;
inline constexpr std::string_view kSealedMagic = "TessalineSealed1";
inline constexpr std::string_view kSealed2Magic = "TessalineSealed2";
inline constexpr std::size_t kSealed2TrailerSize = 32;
// The smallest second-layout file: the header, the tag of an empty payload and the hash.
inline constexpr std::size_t kSealed2MinSize =
    kSealedHeaderSize + kSealTagSize + kSealed2TrailerSize;
inline constexpr std::uint8_t kSealKdfArgon2id = 1;
inline constexpr std::uint8_t kSealCipherXChaCha20Poly1305 = 1;

struct SealSettings {
    std::uint32_t opsLimit = 3;
    std::uint64_t memLimit = std::uint64_t{256} << 20;

    friend bool operator==(const SealSettings&, const SealSettings&) = default;
};

// What a new seal uses unless told otherwise: about half a second on a desktop machine.
inline constexpr SealSettings kDefaultSealSettings{};
// What a reader accepts; the same bounds hold for writing, so every sealed file written
// can be read back.
inline constexpr std::uint32_t kSealOpsMin = 1;
inline constexpr std::uint32_t kSealOpsMax = 10;
inline constexpr std::uint64_t kSealMemMin = std::uint64_t{8} << 10;
inline constexpr std::uint64_t kSealMemMax = std::uint64_t{1} << 30;

bool SealSettingsReadable(const SealSettings& settings);

// True when the data begins with either sealed layout's 16 bytes.
bool HasSealedMagic(std::span<const std::uint8_t> data);
// Which sealed layout the data begins with: 1, 2, or 0 for neither.
int SealedLayoutOf(std::span<const std::uint8_t> data);

// A second-layout file is whole: long enough for header, tag and hash, and its last 32
// bytes are the hash of the rest. Looks at the bytes only; needs no password.
bool Sealed2IsWhole(std::span<const std::uint8_t> data);

struct SealedHeader {
    int layout = 1;  // 1 or 2
    SealSettings settings;
    std::array<std::uint8_t, kSealSaltSize> salt{};
    std::array<std::uint8_t, kSealNonceSize> nonce{};
};

// The header of a sealed file, when this version can open it: the magic, both ids
// known, the zero bytes zero, the settings in range and room for the tag (and for the
// second layout the hash). Looks at the bytes only; claims no memory.
std::optional<SealedHeader> ParseSealedHeader(std::span<const std::uint8_t> data);

// Seals plain (a complete plain data file) under password with the given salt and
// nonce. Empty when the key could not be derived (out of memory) or the settings are
// out of range.
std::optional<std::vector<std::uint8_t>> SealBytes(
    std::span<const std::uint8_t> plain, std::string_view password, const SealSettings& settings,
    std::span<const std::uint8_t, kSealSaltSize> salt,
    std::span<const std::uint8_t, kSealNonceSize> nonce);
// The same with a fresh random salt and nonce.
std::optional<std::vector<std::uint8_t>> SealBytes(std::span<const std::uint8_t> plain,
                                                   std::string_view password,
                                                   const SealSettings& settings);

// The second layout: plain (the CBOR payload) sealed under password, then the hash.
std::optional<std::vector<std::uint8_t>> Seal2Bytes(
    std::span<const std::uint8_t> plain, std::string_view password, const SealSettings& settings,
    std::span<const std::uint8_t, kSealSaltSize> salt,
    std::span<const std::uint8_t, kSealNonceSize> nonce);
std::optional<std::vector<std::uint8_t>> Seal2Bytes(std::span<const std::uint8_t> plain,
                                                    std::string_view password,
                                                    const SealSettings& settings);

enum class UnsealStatus { Opened, Unreadable, WrongPassword, OutOfMemory };
struct UnsealResult {
    UnsealStatus status = UnsealStatus::Unreadable;
    LockedBytes plain;  // the plain data file, when Opened
};
// Opens a sealed file of either layout. In the first, WrongPassword also stands for a
// damaged file: the two cannot be told apart. A second-layout file whose hash does not
// match is Unreadable (the caller says it is damaged before it asks for a password).
UnsealResult UnsealBytes(std::span<const std::uint8_t> data, std::string_view password);

}  // namespace tessaline
