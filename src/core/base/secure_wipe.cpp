#include "core/base/secure_wipe.h"

#include <string.h>

namespace tessaline {

void SecureWipe(void* data, std::size_t size) {
    if (data && size)
        explicit_bzero(data, size);
}

void SecureWipe(std::string& text) {
    // The whole capacity, so that bytes of a longer earlier value go too.
    text.resize(text.capacity());
    SecureWipe(text.data(), text.size());
    text.clear();
}

}  // namespace tessaline
