#include "core/prefs/copy_status.h"

#include "core/prefs/clipboard_forget.h"

namespace tessaline {

namespace {
constexpr int kNeverClearedTimeoutMs = 10'000;
}  // namespace

std::string CopiedStatusText(std::string_view what, int clearSeconds) {
    std::string text(what);
    text += " copied; ";
    // The delay the clipboard really waits, which has an upper bound.
    const int ms = ClearDelayMs(clearSeconds);
    if (ms == 0)
        return text + "not cleared automatically";
    return text + "cleared in " + std::to_string(ms / 1000) + " s";
}

int CopiedStatusTimeoutMs(int clearSeconds) {
    const int ms = ClearDelayMs(clearSeconds);
    return ms == 0 ? kNeverClearedTimeoutMs : ms;
}

}  // namespace tessaline
