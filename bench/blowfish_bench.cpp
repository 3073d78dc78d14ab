// Our Blowfish against OpenSSL's, for bulk enciphering and for building the key schedule.
// OpenSSL keeps each half big-endian and ours little-endian; the work per block is the
// same, so the throughputs compare directly.

#ifndef OPENSSL_SUPPRESS_DEPRECATED
#define OPENSSL_SUPPRESS_DEPRECATED
#endif
#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>

#include <array>
#include <cstdint>
#include <vector>

#include "core/file/blowfish.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

const std::array<std::uint8_t, 32> kKey = {
    0x3a, 0x91, 0x5c, 0x07, 0xee, 0x42, 0x18, 0xd6, 0x7b, 0x20, 0xc4, 0x9f, 0x51, 0x0d, 0xa8, 0x36,
    0xf2, 0x64, 0x8b, 0x13, 0xcd, 0x59, 0x2e, 0x97, 0x40, 0xb5, 0x6a, 0x1c, 0xe3, 0x08, 0x7f, 0xd1};

std::vector<std::uint8_t> MakeBuffer() {
    std::vector<std::uint8_t> buffer(kBufferSize);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        buffer[i] = static_cast<std::uint8_t>(i * 131 + 7);
    }
    return buffer;
}

void BM_BlowfishEcb64k(benchmark::State& state) {
    tessaline::Blowfish bf;
    bf.SetKey(kKey.data(), kKey.size());
    auto buffer = MakeBuffer();
    for (auto _ : state) {
        bf.EncipherBuffer(buffer.data(), buffer.size() / 8);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kBufferSize));
}
BENCHMARK(BM_BlowfishEcb64k);

void BM_OpenSslBfEcb64k(benchmark::State& state) {
    BF_KEY key;
    BF_set_key(&key, static_cast<int>(kKey.size()), kKey.data());
    auto buffer = MakeBuffer();
    for (auto _ : state) {
        for (std::size_t i = 0; i < buffer.size(); i += 8) {
            BF_ecb_encrypt(buffer.data() + i, buffer.data() + i, &key, BF_ENCRYPT);
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kBufferSize));
}
BENCHMARK(BM_OpenSslBfEcb64k);

void BM_BlowfishSetKey(benchmark::State& state) {
    tessaline::Blowfish bf;
    for (auto _ : state) {
        bf.SetKey(kKey.data(), kKey.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kKey.size()));
}
BENCHMARK(BM_BlowfishSetKey);

void BM_OpenSslBfSetKey(benchmark::State& state) {
    BF_KEY key;
    for (auto _ : state) {
        BF_set_key(&key, static_cast<int>(kKey.size()), kKey.data());
        benchmark::DoNotOptimize(key);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kKey.size()));
}
BENCHMARK(BM_OpenSslBfSetKey);

}  // namespace
