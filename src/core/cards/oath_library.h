#pragma once
// liboath must be set up once before its first call.

namespace tessaline {

// Sets liboath up the first time it is called (thread-safe); later calls do nothing.
void EnsureOathLibrary();

}  // namespace tessaline
