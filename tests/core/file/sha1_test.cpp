#include "core/file/sha1.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tessaline {
namespace {

std::string Hex(const Sha1Digest& digest) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : digest) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

TEST(Sha1Test, PublishedVectors) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(Sha1(c.message)), c.digest) << "length " << c.message.size();
    }
}

TEST(Sha1Test, MatchesOpenSslAcrossLengths) {
    // Every length up to 300 passes the padding edges at 55, 56, 63, 64 and their
    // multiples of the block size.
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t length = 0; length <= 300; ++length) {
        std::vector<std::uint8_t> data(length);
        for (auto& b : data) {
            b = static_cast<std::uint8_t>(byte(rng));
        }
        Sha1Digest expected{};
        SHA1(data.data(), data.size(), expected.data());
        EXPECT_EQ(Sha1(data.data(), data.size()), expected) << "length " << length;
    }
}

TEST(Sha1Test, NullDataWithZeroLength) {
    EXPECT_EQ(Hex(Sha1(nullptr, 0)), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
}

}  // namespace
}  // namespace tessaline
