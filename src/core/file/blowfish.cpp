#include "core/file/blowfish.h"

#include <algorithm>
#include <stdexcept>

#include "core/file/blowfish_tables.h"

namespace tessaline {

namespace {

// Each half of a block sits in the file little-endian.
inline std::uint32_t LoadLittle(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

inline void StoreLittle(std::uint8_t* bytes, std::uint32_t word) {
    bytes[0] = static_cast<std::uint8_t>(word);
    bytes[1] = static_cast<std::uint8_t>(word >> 8);
    bytes[2] = static_cast<std::uint8_t>(word >> 16);
    bytes[3] = static_cast<std::uint8_t>(word >> 24);
}

using SBoxes = std::array<std::array<std::uint32_t, 256>, 4>;
using PArray = std::array<std::uint32_t, 18>;

inline std::uint32_t F(const SBoxes& s, std::uint32_t x) {
    return ((s[0][x >> 24] + s[1][(x >> 16) & 0xFF]) ^ s[2][(x >> 8) & 0xFF]) + s[3][x & 0xFF];
}

// The sixteen rounds are written out two at a time, with the halves trading places by
// name instead of by a swap; the P word of each following round is folded into the
// round before it.
inline void Encipher(const PArray& p, const SBoxes& s, std::uint32_t& left, std::uint32_t& right) {
    std::uint32_t l = left ^ p[0];
    std::uint32_t r = right;
    r ^= F(s, l) ^ p[1];
    l ^= F(s, r) ^ p[2];
    r ^= F(s, l) ^ p[3];
    l ^= F(s, r) ^ p[4];
    r ^= F(s, l) ^ p[5];
    l ^= F(s, r) ^ p[6];
    r ^= F(s, l) ^ p[7];
    l ^= F(s, r) ^ p[8];
    r ^= F(s, l) ^ p[9];
    l ^= F(s, r) ^ p[10];
    r ^= F(s, l) ^ p[11];
    l ^= F(s, r) ^ p[12];
    r ^= F(s, l) ^ p[13];
    l ^= F(s, r) ^ p[14];
    r ^= F(s, l) ^ p[15];
    l ^= F(s, r) ^ p[16];
    left = r ^ p[17];
    right = l;
}

inline void Decipher(const PArray& p, const SBoxes& s, std::uint32_t& left, std::uint32_t& right) {
    std::uint32_t l = left ^ p[17];
    std::uint32_t r = right;
    r ^= F(s, l) ^ p[16];
    l ^= F(s, r) ^ p[15];
    r ^= F(s, l) ^ p[14];
    l ^= F(s, r) ^ p[13];
    r ^= F(s, l) ^ p[12];
    l ^= F(s, r) ^ p[11];
    r ^= F(s, l) ^ p[10];
    l ^= F(s, r) ^ p[9];
    r ^= F(s, l) ^ p[8];
    l ^= F(s, r) ^ p[7];
    r ^= F(s, l) ^ p[6];
    l ^= F(s, r) ^ p[5];
    r ^= F(s, l) ^ p[4];
    l ^= F(s, r) ^ p[3];
    r ^= F(s, l) ^ p[2];
    l ^= F(s, r) ^ p[1];
    left = r ^ p[0];
    right = l;
}

// Writes through a volatile pointer so the compiler cannot decide the stores are dead.
void WipeWords(std::uint32_t* words, std::size_t count) {
    volatile std::uint32_t* out = words;
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = 0;
    }
}

}  // namespace

Blowfish::Blowfish() {
    ResetTables();
}

Blowfish::~Blowfish() {
    WipeWords(p_.data(), p_.size());
    for (auto& box : s_) {
        WipeWords(box.data(), box.size());
    }
}

void Blowfish::ResetTables() {
    std::copy(std::begin(kBlowfishInitialP), std::end(kBlowfishInitialP), p_.begin());
    for (std::size_t box = 0; box < s_.size(); ++box) {
        std::copy(std::begin(kBlowfishInitialS[box]), std::end(kBlowfishInitialS[box]),
                  s_[box].begin());
    }
}

void Blowfish::ZeroTables() {
    p_.fill(0);
    for (auto& box : s_) {
        box.fill(0);
    }
}

void Blowfish::SetKey(const std::uint8_t* key, std::size_t length, bool zeroTables) {
    // An empty key would leave nothing to cycle through (and a division by zero below).
    if (key == nullptr || length == 0) {
        throw std::invalid_argument("Blowfish key must not be empty");
    }

    if (zeroTables) {
        ZeroTables();
    } else {
        ResetTables();
    }

    // The key bytes, cycled, are folded into the P-array four at a time, most significant
    // byte first. Only 72 bytes are ever read, so a longer key adds nothing.
    std::size_t j = 0;
    for (auto& word : p_) {
        std::uint32_t data = 0;
        for (int k = 0; k < 4; ++k) {
            data = (data << 8) | key[j];
            j = (j + 1) % length;
        }
        word ^= data;
    }

    std::uint32_t left = 0;
    std::uint32_t right = 0;
    for (std::size_t i = 0; i < p_.size(); i += 2) {
        Encipher(p_, s_, left, right);
        p_[i] = left;
        p_[i + 1] = right;
    }
    for (auto& box : s_) {
        for (std::size_t i = 0; i < box.size(); i += 2) {
            Encipher(p_, s_, left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

void Blowfish::EncipherBlock(std::uint32_t& left, std::uint32_t& right) const {
    Encipher(p_, s_, left, right);
}

void Blowfish::DecipherBlock(std::uint32_t& left, std::uint32_t& right) const {
    Decipher(p_, s_, left, right);
}

void Blowfish::EncipherBuffer(std::uint8_t* buffer, std::size_t blocks) const {
    for (std::size_t b = 0; b < blocks; ++b, buffer += 8) {
        std::uint32_t left = LoadLittle(buffer);
        std::uint32_t right = LoadLittle(buffer + 4);
        Encipher(p_, s_, left, right);
        StoreLittle(buffer, left);
        StoreLittle(buffer + 4, right);
    }
}

void Blowfish::DecipherBuffer(std::uint8_t* buffer, std::size_t blocks) const {
    for (std::size_t b = 0; b < blocks; ++b, buffer += 8) {
        std::uint32_t left = LoadLittle(buffer);
        std::uint32_t right = LoadLittle(buffer + 4);
        Decipher(p_, s_, left, right);
        StoreLittle(buffer, left);
        StoreLittle(buffer + 4, right);
    }
}

}  // namespace tessaline
