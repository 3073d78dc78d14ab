#pragma once
// The buffer libcsv collects a field in. libcsv asks for a little more room each time
// the field outgrows it; this buffer doubles instead, so a field of n bytes is moved only
// about log2(n) times and the bytes moved add up to less than 2n. Every block it gives up
// is wiped first, and so is the last one when it is freed: the field may be a password.

#include <cstddef>

namespace tessaline {

// libcsv's realloc: room for at least size bytes, keeping what buffer (may be null)
// held. The same buffer comes back while its capacity suffices. Null when out of memory
// (buffer is then left as it was).
void* GrowCsvFieldBuffer(void* buffer, std::size_t size);

// libcsv's free: wipes the whole capacity, then frees it. Takes null.
void FreeCsvFieldBuffer(void* buffer);

// The bytes buffer can hold without moving.
std::size_t CsvFieldBufferCapacity(const void* buffer);

}  // namespace tessaline
