#include "core/base/stack_wipe.h"

#include <string.h>

namespace tessaline {

namespace {

// Not inlined, so that its array lies beneath the frame of whoever called WipeStackBelow,
// where the functions that caller called had their frames.
[[gnu::noinline]] void ClearArea() {
    unsigned char area[kStackWipeBytes];
    explicit_bzero(area, sizeof area);
    // Keeps the array (and so the clearing) from being optimised away.
    asm volatile("" : : "r"(area) : "memory");
}

}  // namespace

void WipeStackBelow() {
    ClearArea();
}

}  // namespace tessaline
