// Linked into the two programs only (not into the core library, the tests or the
// benchmarks): every heap block is cleared before the C library takes it back. Card
// texts and passwords pass through many short-lived copies that are not ours to wipe (a
// list cell's text, a print preview's pages, a line edit's undo history, the libraries'
// own buffers); without this their bytes would stay in freed memory, readable in a memory
// image long after the document was closed or locked.
//
// Only free and the functions that give blocks back (realloc, reallocarray) are replaced;
// the blocks themselves still come from the C library's own allocator, whose entry points
// these call. A sanitizer build keeps the sanitizer's allocator and leaves this out.

#include <errno.h>
#include <malloc.h>
#include <stdlib.h>
#include <string.h>

extern "C" {

// The C library's own allocator, under the names it exports for this purpose.
void* __libc_malloc(size_t size);
void __libc_free(void* block);

void free(void* block) noexcept {
    if (block == nullptr)
        return;
    explicit_bzero(block, malloc_usable_size(block));
    __libc_free(block);
}

void* realloc(void* block, size_t size) noexcept {
    if (block == nullptr)
        return __libc_malloc(size);
    if (size == 0) {
        free(block);
        return nullptr;
    }
    const size_t usable = malloc_usable_size(block);
    // A block that still fits and is not mostly unused stays where it is; the bytes past
    // the new end are cleared, since the caller no longer counts them as its own.
    if (size <= usable && size >= usable / 2) {
        explicit_bzero(static_cast<char*>(block) + size, usable - size);
        return block;
    }
    // Otherwise the contents move to a new block and the old one is cleared as it goes,
    // where the C library would have moved them without clearing.
    void* moved = __libc_malloc(size);
    if (moved == nullptr)
        return nullptr;
    memcpy(moved, block, size < usable ? size : usable);
    free(block);
    return moved;
}

void* reallocarray(void* block, size_t count, size_t size) noexcept {
    size_t total = 0;
    if (__builtin_mul_overflow(count, size, &total)) {
        errno = ENOMEM;
        return nullptr;
    }
    return realloc(block, total);
}

}  // extern "C"
