#include "core/views/csv_field_buffer.h"

#include <cstdlib>
#include <cstring>

#include "core/base/secure_wipe.h"

namespace tessaline {

namespace {

// The capacity is kept in front of the bytes handed out.
constexpr std::size_t kPrefix = alignof(std::max_align_t);
static_assert(kPrefix >= sizeof(std::size_t));

unsigned char* BlockOf(const void* buffer) {
    return static_cast<unsigned char*>(const_cast<void*>(buffer)) - kPrefix;
}

}  // namespace

std::size_t CsvFieldBufferCapacity(const void* buffer) {
    if (buffer == nullptr)
        return 0;
    std::size_t capacity = 0;
    std::memcpy(&capacity, BlockOf(buffer), sizeof capacity);
    return capacity;
}

void* GrowCsvFieldBuffer(void* buffer, std::size_t size) {
    const std::size_t capacity = CsvFieldBufferCapacity(buffer);
    if (buffer != nullptr && size <= capacity)
        return buffer;
    std::size_t wanted = size;
    if (capacity <= (static_cast<std::size_t>(-1) - kPrefix) / 2 && capacity * 2 > wanted)
        wanted = capacity * 2;
    if (wanted > static_cast<std::size_t>(-1) - kPrefix)
        return nullptr;
    auto* fresh = static_cast<unsigned char*>(std::malloc(wanted + kPrefix));
    if (fresh == nullptr && wanted > size) {
        // Doubling asked for more than there is: the exact size may still fit.
        wanted = size;
        fresh = static_cast<unsigned char*>(std::malloc(wanted + kPrefix));
    }
    if (fresh == nullptr)
        return nullptr;
    std::memcpy(fresh, &wanted, sizeof wanted);
    if (buffer != nullptr) {
        std::memcpy(fresh + kPrefix, buffer, capacity);
        FreeCsvFieldBuffer(buffer);
    }
    return fresh + kPrefix;
}

void FreeCsvFieldBuffer(void* buffer) {
    if (buffer == nullptr)
        return;
    unsigned char* block = BlockOf(buffer);
    SecureWipe(block, CsvFieldBufferCapacity(buffer) + kPrefix);
    std::free(block);
}

}  // namespace tessaline
