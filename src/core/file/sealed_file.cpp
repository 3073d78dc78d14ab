#include "core/file/sealed_file.h"

#include <sodium.h>

#include <cstring>

#include "core/base/stack_wipe.h"
#include "core/file/byte_io.h"

namespace tessaline {

namespace {

static_assert(kSealSaltSize == crypto_pwhash_SALTBYTES);
static_assert(kSealNonceSize == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(kSealTagSize == crypto_aead_xchacha20poly1305_ietf_ABYTES);
static_assert(kSealKeySize == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);

std::uint64_t GetU64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(GetU32(p)) | static_cast<std::uint64_t>(GetU32(p + 4)) << 32;
}

void PutU64(std::vector<std::uint8_t>& out, std::uint64_t v) {
    PutU32(out, static_cast<std::uint32_t>(v));
    PutU32(out, static_cast<std::uint32_t>(v >> 32));
}

// The 32-byte key in locked memory; empty when it could not be derived.
std::optional<LockedBytes> DeriveKey(std::string_view password, const SealSettings& settings,
                                     const std::uint8_t* salt) {
    if (sodium_init() < 0 || !SealSettingsReadable(settings) ||
        password.size() > crypto_pwhash_PASSWD_MAX) {
        return std::nullopt;
    }
    LockedBytes key(kSealKeySize);
    // The password goes to libsodium from locked memory too.
    LockedText passwordCopy(password);
    if (crypto_pwhash(key.data(), key.size(), passwordCopy.data(), passwordCopy.size(), salt,
                      settings.opsLimit, static_cast<std::size_t>(settings.memLimit),
                      crypto_pwhash_ALG_ARGON2ID13) != 0) {
        return std::nullopt;
    }
    return key;
}

}  // namespace

bool SealSettingsReadable(const SealSettings& settings) {
    return settings.opsLimit >= kSealOpsMin && settings.opsLimit <= kSealOpsMax &&
           settings.memLimit >= kSealMemMin && settings.memLimit <= kSealMemMax;
}

int SealedLayoutOf(std::span<const std::uint8_t> data) {
    static_assert(kSealedMagic.size() == kSealed2Magic.size());
    if (data.size() < kSealedMagic.size())
        return 0;
    if (std::memcmp(data.data(), kSealedMagic.data(), kSealedMagic.size()) == 0)
        return 1;
    if (std::memcmp(data.data(), kSealed2Magic.data(), kSealed2Magic.size()) == 0)
        return 2;
    return 0;
}

bool HasSealedMagic(std::span<const std::uint8_t> data) {
    return SealedLayoutOf(data) != 0;
}

bool Sealed2IsWhole(std::span<const std::uint8_t> data) {
    if (SealedLayoutOf(data) != 2 || data.size() < kSealed2MinSize || sodium_init() < 0)
        return false;
    const std::size_t hashed = data.size() - kSealed2TrailerSize;
    std::array<std::uint8_t, kSealed2TrailerSize> hash{};
    static_assert(kSealed2TrailerSize == crypto_generichash_BYTES);
    crypto_generichash(hash.data(), hash.size(), data.data(), hashed, nullptr, 0);
    // Nothing secret is compared: the hash is of bytes anyone holding the file can read.
    return std::memcmp(hash.data(), data.data() + hashed, hash.size()) == 0;
}

std::optional<SealedHeader> ParseSealedHeader(std::span<const std::uint8_t> data) {
    const int layout = SealedLayoutOf(data);
    const std::size_t smallest = layout == 2 ? kSealed2MinSize : kSealedHeaderSize + kSealTagSize;
    if (layout == 0 || data.size() < smallest)
        return std::nullopt;
    const std::uint8_t* h = data.data();
    if (h[16] != kSealKdfArgon2id || h[17] != kSealCipherXChaCha20Poly1305 || h[18] != 0 ||
        h[19] != 0) {
        return std::nullopt;
    }
    SealedHeader header;
    header.layout = layout;
    header.settings.opsLimit = GetU32(h + 20);
    header.settings.memLimit = GetU64(h + 24);
    if (!SealSettingsReadable(header.settings))
        return std::nullopt;
    std::memcpy(header.salt.data(), h + 32, kSealSaltSize);
    std::memcpy(header.nonce.data(), h + 48, kSealNonceSize);
    return header;
}

// The sealing itself. Not inlined: its frame and those of the key derivation and the
// cipher lie beneath SealBytes, which clears them once it has returned.
[[gnu::noinline]] static std::optional<std::vector<std::uint8_t>> SealWithNewKey(
    int layout, std::span<const std::uint8_t> plain, std::string_view password,
    const SealSettings& settings, std::span<const std::uint8_t, kSealSaltSize> salt,
    std::span<const std::uint8_t, kSealNonceSize> nonce) {
    std::optional<LockedBytes> key;
    try {
        key = DeriveKey(password, settings, salt.data());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!key)
        return std::nullopt;

    const std::string_view magic = layout == 2 ? kSealed2Magic : kSealedMagic;
    const std::size_t trailer = layout == 2 ? kSealed2TrailerSize : 0;
    std::vector<std::uint8_t> out;
    out.reserve(kSealedHeaderSize + plain.size() + kSealTagSize + trailer);
    out.insert(out.end(), magic.begin(), magic.end());
    out.push_back(kSealKdfArgon2id);
    out.push_back(kSealCipherXChaCha20Poly1305);
    out.push_back(0);
    out.push_back(0);
    PutU32(out, settings.opsLimit);
    PutU64(out, settings.memLimit);
    out.insert(out.end(), salt.begin(), salt.end());
    out.insert(out.end(), nonce.begin(), nonce.end());
    out.resize(kSealedHeaderSize + plain.size() + kSealTagSize);

    unsigned long long sealedSize = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        out.data() + kSealedHeaderSize, &sealedSize, plain.data(), plain.size(), out.data(),
        kSealedHeaderSize, nullptr, nonce.data(), key->data());
    out.resize(kSealedHeaderSize + static_cast<std::size_t>(sealedSize));
    if (layout == 2) {
        const std::size_t hashed = out.size();
        out.resize(hashed + kSealed2TrailerSize);
        crypto_generichash(out.data() + hashed, kSealed2TrailerSize, out.data(), hashed, nullptr,
                           0);
    }
    return out;
}

static std::optional<std::vector<std::uint8_t>> SealInLayout(
    int layout, std::span<const std::uint8_t> plain, std::string_view password,
    const SealSettings& settings, std::span<const std::uint8_t, kSealSaltSize> salt,
    std::span<const std::uint8_t, kSealNonceSize> nonce) {
    std::optional<std::vector<std::uint8_t>> sealed =
        SealWithNewKey(layout, plain, password, settings, salt, nonce);
    // The derivation's working blocks and the cipher's state held the key on this stack.
    WipeStackBelow();
    return sealed;
}

static std::optional<std::vector<std::uint8_t>> SealInLayout(int layout,
                                                             std::span<const std::uint8_t> plain,
                                                             std::string_view password,
                                                             const SealSettings& settings) {
    if (sodium_init() < 0)
        return std::nullopt;
    std::array<std::uint8_t, kSealSaltSize> salt;
    std::array<std::uint8_t, kSealNonceSize> nonce;
    randombytes_buf(salt.data(), salt.size());
    randombytes_buf(nonce.data(), nonce.size());
    return SealInLayout(layout, plain, password, settings, salt, nonce);
}

std::optional<std::vector<std::uint8_t>> SealBytes(
    std::span<const std::uint8_t> plain, std::string_view password, const SealSettings& settings,
    std::span<const std::uint8_t, kSealSaltSize> salt,
    std::span<const std::uint8_t, kSealNonceSize> nonce) {
    return SealInLayout(1, plain, password, settings, salt, nonce);
}

std::optional<std::vector<std::uint8_t>> SealBytes(std::span<const std::uint8_t> plain,
                                                   std::string_view password,
                                                   const SealSettings& settings) {
    return SealInLayout(1, plain, password, settings);
}

std::optional<std::vector<std::uint8_t>> Seal2Bytes(
    std::span<const std::uint8_t> plain, std::string_view password, const SealSettings& settings,
    std::span<const std::uint8_t, kSealSaltSize> salt,
    std::span<const std::uint8_t, kSealNonceSize> nonce) {
    return SealInLayout(2, plain, password, settings, salt, nonce);
}

std::optional<std::vector<std::uint8_t>> Seal2Bytes(std::span<const std::uint8_t> plain,
                                                    std::string_view password,
                                                    const SealSettings& settings) {
    return SealInLayout(2, plain, password, settings);
}

// The opening itself; not inlined, for the same reason as SealWithNewKey.
[[gnu::noinline]] static UnsealResult UnsealWithDerivedKey(std::span<const std::uint8_t> data,
                                                           std::string_view password) {
    UnsealResult result;
    // Every limit is checked before any memory is claimed for the key or the cards.
    const std::optional<SealedHeader> header = ParseSealedHeader(data);
    if (!header || (header->layout == 2 && !Sealed2IsWhole(data)))
        return result;
    // The second layout's hash is no part of what was sealed.
    if (header->layout == 2)
        data = data.first(data.size() - kSealed2TrailerSize);

    std::optional<LockedBytes> key;
    try {
        key = DeriveKey(password, header->settings, header->salt.data());
        if (!key) {
            result.status = UnsealStatus::OutOfMemory;
            return result;
        }
        const std::size_t payloadSize = data.size() - kSealedHeaderSize - kSealTagSize;
        result.plain.reserve(payloadSize == 0 ? 1 : payloadSize);
        result.plain.resize(payloadSize);
    } catch (const std::bad_alloc&) {
        result.status = UnsealStatus::OutOfMemory;
        return result;
    }
    unsigned long long plainSize = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            result.plain.data(), &plainSize, nullptr, data.data() + kSealedHeaderSize,
            data.size() - kSealedHeaderSize, data.data(), kSealedHeaderSize, header->nonce.data(),
            key->data()) != 0) {
        LockedBytes().swap(result.plain);
        result.status = UnsealStatus::WrongPassword;
        return result;
    }
    result.plain.resize(static_cast<std::size_t>(plainSize));
    result.status = UnsealStatus::Opened;
    return result;
}

UnsealResult UnsealBytes(std::span<const std::uint8_t> data, std::string_view password) {
    UnsealResult result = UnsealWithDerivedKey(data, password);
    // As after sealing: the key is cleared from the frames the opening used.
    WipeStackBelow();
    return result;
}

}  // namespace tessaline
