#pragma once
// Blowfish, 16 rounds, with the data file's conventions: a block is 8 bytes whose
// halves are little-endian 32-bit words, buffers are enciphered block by block (ECB).
// Each object holds its own working tables; they and the key are wiped when it dies.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessaline {

class Blowfish {
public:
    Blowfish();
    ~Blowfish();
    Blowfish(const Blowfish&) = delete;
    Blowfish& operator=(const Blowfish&) = delete;

    // Builds the working tables from the key. With zeroTables the schedule starts from
    // all-zero tables instead of the digits of pi (files of format revision 5).
    // A key longer than 72 bytes contributes only its first 72 bytes. length must be > 0.
    void SetKey(const std::uint8_t* key, std::size_t length, bool zeroTables = false);

    void EncipherBlock(std::uint32_t& left, std::uint32_t& right) const;
    void DecipherBlock(std::uint32_t& left, std::uint32_t& right) const;

    // blocks consecutive 8-byte blocks, in place. 0 blocks does nothing.
    void EncipherBuffer(std::uint8_t* buffer, std::size_t blocks) const;
    void DecipherBuffer(std::uint8_t* buffer, std::size_t blocks) const;

    void ResetTables();  // the standard initial tables
    void ZeroTables();

private:
    std::array<std::uint32_t, 18> p_{};
    std::array<std::array<std::uint32_t, 256>, 4> s_{};
};

}  // namespace tessaline
