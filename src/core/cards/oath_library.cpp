#include "core/cards/oath_library.h"

#include <liboath/oath.h>

namespace tessaline {

void EnsureOathLibrary() {
    static const int ready = oath_init();
    (void)ready;
}

}  // namespace tessaline
