#include "core/app/autosave.h"

#include <climits>

namespace tessaline {

int ParseAutoSaveMinutes(std::string_view text) {
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(value);
}

bool AutoSaveCounter::Tick(bool haveDocument, bool documentModified) {
    if (ticks_ < INT_MAX)
        ++ticks_;
    if (!haveDocument)
        return false;
    if (ticks_ >= minutes_ && documentModified) {
        ticks_ = 0;
        return true;
    }
    return false;
}

}  // namespace tessaline
