#pragma once
// Keeping a process that holds secrets out of reach of other processes.

namespace tessaline {

// Makes the calling process non-dumpable (no other process of lower privilege may trace
// it or read its memory, and /proc/<pid> belongs to root) and turns core dumps off.
// True when both took effect.
bool HardenProcessAgainstDumps();

}  // namespace tessaline
