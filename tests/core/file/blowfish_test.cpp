#include "core/file/blowfish.h"

#include <gtest/gtest.h>
#include <openssl/blowfish.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessaline {
namespace {

// Eric Young's published ECB table: 8-byte key, clear text and cipher text as
// big-endian 64-bit numbers.
struct EcbVector {
    std::uint64_t key;
    std::uint64_t clear;
    std::uint64_t cipher;
};

constexpr EcbVector kEcbVectors[] = {
    {0x0000000000000000, 0x0000000000000000, 0x4EF997456198DD78},
    {0xFFFFFFFFFFFFFFFF, 0xFFFFFFFFFFFFFFFF, 0x51866FD5B85ECB8A},
    {0x3000000000000000, 0x1000000000000001, 0x7D856F9A613063F2},
    {0x1111111111111111, 0x1111111111111111, 0x2466DD878B963C9D},
    {0x0123456789ABCDEF, 0x1111111111111111, 0x61F9C3802281B096},
    {0x1111111111111111, 0x0123456789ABCDEF, 0x7D0CC630AFDA1EC7},
    {0xFEDCBA9876543210, 0x0123456789ABCDEF, 0x0ACEAB0FC6A0A28D},
    {0x7CA110454A1A6E57, 0x01A1D6D039776742, 0x59C68245EB05282B},
    {0x0131D9619DC1376E, 0x5CD54CA83DEF57DA, 0xB1B8CC0B250F09A0},
    {0x07A1133E4A0B2686, 0x0248D43806F67172, 0x1730E5778BEA1DA4},
    {0x3849674C2602319E, 0x51454B582DDF440A, 0xA25E7856CF2651EB},
    {0x04B915BA43FEB5B6, 0x42FD443059577FA2, 0x353882B109CE8F1A},
    {0x0113B970FD34F2CE, 0x059B5E0851CF143A, 0x48F4D0884C379918},
    {0x0170F175468FB5E6, 0x0756D8E0774761D2, 0x432193B78951FC98},
    {0x43297FAD38E373FE, 0x762514B829BF486A, 0x13F04154D69D1AE5},
    {0x07A7137045DA2A16, 0x3BDD119049372802, 0x2EEDDA93FFD39C79},
    {0x04689104C2FD3B2F, 0x26955F6835AF609A, 0xD887E0393C2DA6E3},
    {0x37D06BB516CB7546, 0x164D5E404F275232, 0x5F99D04F5B163969},
    {0x1F08260D1AC2465E, 0x6B056E18759F5CCA, 0x4A057A3B24D3977B},
    {0x584023641ABA6176, 0x004BD6EF09176062, 0x452031C1E4FADA8E},
    {0x025816164629B007, 0x480D39006EE762F2, 0x7555AE39F59B87BD},
    {0x49793EBC79B3258F, 0x437540C8698F3CFA, 0x53C55F9CB49FC019},
    {0x4FB05E1515AB73A7, 0x072D43A077075292, 0x7A8E7BFA937E89A3},
    {0x49E95D6D4CA229BF, 0x02FE55778117F12A, 0xCF9C5D7A4986ADB5},
    {0x018310DC409B26D6, 0x1D9D5C5018F728C2, 0xD1ABB290658BC778},
    {0x1C587F1C13924FEF, 0x305532286D6F295A, 0x55CB3774D13EF201},
    {0x0101010101010101, 0x0123456789ABCDEF, 0xFA34EC4847B268B2},
    {0x1F1F1F1F0E0E0E0E, 0x0123456789ABCDEF, 0xA790795108EA3CAE},
    {0xE0FEE0FEF1FEF1FE, 0x0123456789ABCDEF, 0xC39E072D9FAC631D},
    {0x0000000000000000, 0xFFFFFFFFFFFFFFFF, 0x014933E0CDAFF6E4},
    {0xFFFFFFFFFFFFFFFF, 0x0000000000000000, 0xF21E9A77B71C49BC},
    {0x0123456789ABCDEF, 0x0000000000000000, 0x245946885754369A},
    {0xFEDCBA9876543210, 0xFFFFFFFFFFFFFFFF, 0x6B5C5A9C5D9E0A5A},
};

std::array<std::uint8_t, 8> BigEndianBytes(std::uint64_t value) {
    std::array<std::uint8_t, 8> bytes{};
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (56 - 8 * i));
    }
    return bytes;
}

// The same 64-bit value as it lies in one of our buffers: each half little-endian.
std::array<std::uint8_t, 8> FileBytes(std::uint64_t value) {
    auto bytes = BigEndianBytes(value);
    std::reverse(bytes.begin(), bytes.begin() + 4);
    std::reverse(bytes.begin() + 4, bytes.end());
    return bytes;
}

std::vector<std::uint8_t> RandomBytes(std::mt19937& rng, std::size_t count) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> out(count);
    for (auto& b : out) {
        b = static_cast<std::uint8_t>(byte(rng));
    }
    return out;
}

// Reverses the byte order inside every 4-byte half, turning our layout into OpenSSL's
// big-endian halves and back.
void SwapHalves(std::vector<std::uint8_t>& data) {
    for (std::size_t i = 0; i + 4 <= data.size(); i += 4) {
        std::reverse(data.begin() + static_cast<std::ptrdiff_t>(i),
                     data.begin() + static_cast<std::ptrdiff_t>(i + 4));
    }
}

TEST(BlowfishTest, PublishedVectorsThroughBlocks) {
    for (const auto& v : kEcbVectors) {
        SCOPED_TRACE(testing::Message() << std::hex << "key " << v.key << " clear " << v.clear);
        const auto key = BigEndianBytes(v.key);
        Blowfish bf;
        bf.SetKey(key.data(), key.size());

        std::uint32_t left = static_cast<std::uint32_t>(v.clear >> 32);
        std::uint32_t right = static_cast<std::uint32_t>(v.clear);
        bf.EncipherBlock(left, right);
        EXPECT_EQ((static_cast<std::uint64_t>(left) << 32) | right, v.cipher);

        bf.DecipherBlock(left, right);
        EXPECT_EQ((static_cast<std::uint64_t>(left) << 32) | right, v.clear);
    }
}

TEST(BlowfishTest, PublishedVectorsThroughBuffers) {
    for (const auto& v : kEcbVectors) {
        SCOPED_TRACE(testing::Message() << std::hex << "key " << v.key << " clear " << v.clear);
        const auto key = BigEndianBytes(v.key);
        Blowfish bf;
        bf.SetKey(key.data(), key.size());

        auto buffer = FileBytes(v.clear);
        bf.EncipherBuffer(buffer.data(), 1);
        EXPECT_EQ(buffer, FileBytes(v.cipher));

        bf.DecipherBuffer(buffer.data(), 1);
        EXPECT_EQ(buffer, FileBytes(v.clear));
    }
}

TEST(BlowfishTest, BufferKeepsEachHalfLittleEndian) {
    struct Case {
        std::uint8_t fill;
        std::array<std::uint8_t, 8> expected;
    };
    const Case cases[] = {
        {0x00, {0x45, 0x97, 0xF9, 0x4E, 0x78, 0xDD, 0x98, 0x61}},
        {0xFF, {0xD5, 0x6F, 0x86, 0x51, 0x8A, 0xCB, 0x5E, 0xB8}},
    };
    for (const auto& c : cases) {
        std::array<std::uint8_t, 8> key;
        key.fill(c.fill);
        std::array<std::uint8_t, 8> buffer;
        buffer.fill(c.fill);
        Blowfish bf;
        bf.SetKey(key.data(), key.size());
        bf.EncipherBuffer(buffer.data(), 1);
        EXPECT_EQ(buffer, c.expected) << "fill " << int{c.fill};
    }
}

TEST(BlowfishTest, MatchesOpenSslForRandomKeysAndData) {
    std::mt19937 rng(20260301);
    std::uniform_int_distribution<std::size_t> blockCount(1, 40);
    std::vector<std::size_t> keyLengths;
    for (std::size_t n = 1; n <= 72; ++n) {
        keyLengths.push_back(n);
    }
    for (std::size_t n : {73, 80, 100, 256}) {
        keyLengths.push_back(n);
    }

    for (std::size_t keyLength : keyLengths) {
        SCOPED_TRACE(testing::Message() << "key length " << keyLength);
        const auto key = RandomBytes(rng, keyLength);
        const auto clear = RandomBytes(rng, 8 * blockCount(rng));

        Blowfish ours;
        ours.SetKey(key.data(), key.size());
        auto buffer = clear;
        ours.EncipherBuffer(buffer.data(), buffer.size() / 8);

        BF_KEY reference;
        BF_set_key(&reference, static_cast<int>(key.size()), key.data());
        auto expected = clear;
        SwapHalves(expected);
        for (std::size_t i = 0; i < expected.size(); i += 8) {
            BF_ecb_encrypt(expected.data() + i, expected.data() + i, &reference, BF_ENCRYPT);
        }
        SwapHalves(expected);
        EXPECT_EQ(buffer, expected);

        ours.DecipherBuffer(buffer.data(), buffer.size() / 8);
        EXPECT_EQ(buffer, clear);
    }
}

TEST(BlowfishTest, ZeroTableScheduleIsItsOwnCipher) {
    std::mt19937 rng(7);
    for (std::size_t keyLength : {1, 5, 16, 56, 72}) {
        SCOPED_TRACE(testing::Message() << "key length " << keyLength);
        const auto key = RandomBytes(rng, keyLength);
        const auto clear = RandomBytes(rng, 8 * 16);

        Blowfish standard;
        standard.SetKey(key.data(), key.size());
        Blowfish zeroed;
        zeroed.SetKey(key.data(), key.size(), true);

        auto viaStandard = clear;
        standard.EncipherBuffer(viaStandard.data(), 16);
        auto viaZeroed = clear;
        zeroed.EncipherBuffer(viaZeroed.data(), 16);
        EXPECT_NE(viaStandard, viaZeroed);

        auto crossed = viaStandard;
        zeroed.DecipherBuffer(crossed.data(), 16);
        EXPECT_NE(crossed, clear);

        zeroed.DecipherBuffer(viaZeroed.data(), 16);
        EXPECT_EQ(viaZeroed, clear);
    }
}

TEST(BlowfishTest, SetKeyStartsAfreshEachTime) {
    // A second key must replace the first schedule, not build on top of it, whichever
    // starting tables either call used.
    const std::array<std::uint8_t, 8> first = {1, 2, 3, 4, 5, 6, 7, 8};
    const auto second = BigEndianBytes(0x0123456789ABCDEF);
    for (bool firstZero : {false, true}) {
        Blowfish bf;
        bf.SetKey(first.data(), first.size(), firstZero);
        bf.SetKey(second.data(), second.size());
        std::uint32_t left = 0x11111111;
        std::uint32_t right = 0x11111111;
        bf.EncipherBlock(left, right);
        EXPECT_EQ((static_cast<std::uint64_t>(left) << 32) | right, 0x61F9C3802281B096u);
    }
}

TEST(BlowfishTest, ZeroBlocksLeaveBufferAlone) {
    const auto key = BigEndianBytes(0xFEDCBA9876543210);
    Blowfish bf;
    bf.SetKey(key.data(), key.size());
    std::array<std::uint8_t, 16> buffer;
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = static_cast<std::uint8_t>(i * 17);
    }
    const auto original = buffer;
    bf.EncipherBuffer(buffer.data(), 0);
    EXPECT_EQ(buffer, original);
    bf.DecipherBuffer(buffer.data(), 0);
    EXPECT_EQ(buffer, original);
}

TEST(BlowfishTest, KeyBytesPast72AreIgnored) {
    std::mt19937 rng(99);
    const auto clear = RandomBytes(rng, 64);
    for (std::size_t keyLength : {73, 90, 200}) {
        for (bool zeroTables : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "key length " << keyLength << " zero tables " << zeroTables);
            const auto key = RandomBytes(rng, keyLength);
            Blowfish whole;
            whole.SetKey(key.data(), key.size(), zeroTables);
            Blowfish prefix;
            prefix.SetKey(key.data(), 72, zeroTables);
            Blowfish shorter;
            shorter.SetKey(key.data(), 71, zeroTables);

            auto a = clear;
            whole.EncipherBuffer(a.data(), a.size() / 8);
            auto b = clear;
            prefix.EncipherBuffer(b.data(), b.size() / 8);
            auto c = clear;
            shorter.EncipherBuffer(c.data(), c.size() / 8);
            EXPECT_EQ(a, b);
            EXPECT_NE(a, c);
        }
    }
}

TEST(BlowfishTest, EmptyKeyIsRefused) {
    const std::uint8_t key[1] = {0};
    Blowfish bf;
    EXPECT_THROW(bf.SetKey(key, 0), std::invalid_argument);
    EXPECT_THROW(bf.SetKey(nullptr, 8), std::invalid_argument);
}

}  // namespace
}  // namespace tessaline
