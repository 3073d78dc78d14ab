#include "core/file/locked_memory.h"

#include <sodium.h>

namespace tessaline {

namespace {

bool SodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

void* LockedAllocate(std::size_t size) {
    if (!SodiumReady())
        return nullptr;
    // sodium_malloc locks the pages when the system allows it and keeps going when it
    // does not (a low RLIMIT_MEMLOCK): the secret is then still fenced and wiped.
    return sodium_malloc(size == 0 ? 1 : size);
}

void LockedRelease(void* memory) {
    // sodium_free wipes the whole region before unmapping it.
    if (memory)
        sodium_free(memory);
}

}  // namespace tessaline
