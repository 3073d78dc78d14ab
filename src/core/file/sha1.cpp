#include "core/file/sha1.h"

#include <algorithm>

namespace tessaline {

namespace {

constexpr std::size_t kBlockSize = 64;

inline std::uint32_t Rotl(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline std::uint32_t LoadBig(const std::uint8_t* bytes) {
    return (static_cast<std::uint32_t>(bytes[0]) << 24) |
           (static_cast<std::uint32_t>(bytes[1]) << 16) |
           (static_cast<std::uint32_t>(bytes[2]) << 8) | static_cast<std::uint32_t>(bytes[3]);
}

template <typename T>
void Wipe(T* data, std::size_t count) {
    volatile T* out = data;
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = 0;
    }
}

void Compress(std::array<std::uint32_t, 5>& h, const std::uint8_t* block,
              std::array<std::uint32_t, 80>& w) {
    for (int t = 0; t < 16; ++t) {
        w[t] = LoadBig(block + 4 * t);
    }
    for (int t = 16; t < 80; ++t) {
        w[t] = Rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
    }

    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int t = 0; t < 80; ++t) {
        std::uint32_t f;
        std::uint32_t k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        const std::uint32_t temp = Rotl(a, 5) + f + e + w[t] + k;
        e = d;
        d = c;
        c = Rotl(b, 30);
        b = a;
        a = temp;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
}

}  // namespace

Sha1Digest Sha1(const std::uint8_t* data, std::size_t length) {
    std::array<std::uint32_t, 5> h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::array<std::uint32_t, 80> w{};

    const std::size_t whole = length / kBlockSize;
    for (std::size_t i = 0; i < whole; ++i) {
        Compress(h, data + i * kBlockSize, w);
    }

    // The tail: leftover bytes, the 0x80 marker, zeros, then the message length in bits as
    // a big-endian 64-bit number. If fewer than 9 bytes remain in the block after the
    // leftovers, the padding runs into a second block.
    std::array<std::uint8_t, 2 * kBlockSize> tail{};
    const std::size_t rest = length % kBlockSize;
    if (rest != 0) {
        std::copy(data + whole * kBlockSize, data + length, tail.begin());
    }
    tail[rest] = 0x80;
    const std::size_t tailSize = rest + 9 <= kBlockSize ? kBlockSize : 2 * kBlockSize;
    const std::uint64_t bits = static_cast<std::uint64_t>(length) * 8;
    for (int i = 0; i < 8; ++i) {
        tail[tailSize - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    for (std::size_t offset = 0; offset < tailSize; offset += kBlockSize) {
        Compress(h, tail.data() + offset, w);
    }

    Sha1Digest digest{};
    for (std::size_t i = 0; i < h.size(); ++i) {
        digest[4 * i] = static_cast<std::uint8_t>(h[i] >> 24);
        digest[4 * i + 1] = static_cast<std::uint8_t>(h[i] >> 16);
        digest[4 * i + 2] = static_cast<std::uint8_t>(h[i] >> 8);
        digest[4 * i + 3] = static_cast<std::uint8_t>(h[i]);
    }

    Wipe(w.data(), w.size());
    Wipe(tail.data(), tail.size());
    Wipe(h.data(), h.size());
    return digest;
}

}  // namespace tessaline
