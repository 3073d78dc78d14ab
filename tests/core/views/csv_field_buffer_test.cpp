#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "core/views/csv_field_buffer.h"

namespace tessaline {
namespace {

// libcsv asks for 128 bytes more each time a field outgrows its buffer. A 4 MiB field
// must not move its bytes at every one of those 32,768 requests: the buffer moves a few
// times only, keeps every byte written so far, and the bytes moved add up to less than
// twice the field.
TEST(CsvFieldBuffer, GrowsByDoublingAndKeepsItsBytes) {
    constexpr std::size_t kStep = 128;
    constexpr std::size_t kField = 4u << 20;
    void* buffer = nullptr;
    std::set<void*> places;
    std::size_t moved = 0;
    for (std::size_t size = kStep; size <= kField; size += kStep) {
        const std::size_t before = CsvFieldBufferCapacity(buffer);
        void* grown = GrowCsvFieldBuffer(buffer, size);
        ASSERT_NE(grown, nullptr);
        if (grown != buffer)
            moved += before;
        buffer = grown;
        places.insert(buffer);
        ASSERT_GE(CsvFieldBufferCapacity(buffer), size);
        // What libcsv writes into the new room: a byte that tells its place.
        auto* bytes = static_cast<unsigned char*>(buffer);
        for (std::size_t i = size - kStep; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
    }
    EXPECT_LE(places.size(), 30u);
    EXPECT_LT(moved, 2 * kField);
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < kField; ++i)
        wrong += bytes[i] != static_cast<unsigned char>(i * 7 + i / 251);
    EXPECT_EQ(wrong, 0u);
    FreeCsvFieldBuffer(buffer);
    FreeCsvFieldBuffer(nullptr);
    EXPECT_EQ(CsvFieldBufferCapacity(nullptr), 0u);
}

}  // namespace
}  // namespace tessaline
