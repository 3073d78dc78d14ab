#pragma once
// The clipboard forgets the secrets the program puts there: after a delay, and when the
// program ends, but only while the clipboard still holds exactly what was put there, so
// that whatever the user copied since is never touched.

#include <cstdint>
#include <string>

namespace tessaline {

class ClipboardForgetRule {
public:
    // Remembers a text just put on the clipboard; returns its ticket for the timer.
    std::uint64_t Placed(std::string text);
    // When the timer of ticket runs out: whether the clipboard, now holding current,
    // must be cleared. A later placement makes earlier tickets void.
    bool ShouldClearAt(std::uint64_t ticket, const std::string& current) const;
    // When the program ends: whether current is still the secret we put there.
    bool ShouldClearOnExit(const std::string& current) const;
    // The clipboard was cleared, or the text there is no longer ours.
    void Forget();
    bool HoldsSecret() const { return holding_; }

private:
    std::string text_;
    std::uint64_t ticket_ = 0;
    bool holding_ = false;
};

// The delay in milliseconds for a number of seconds, or 0 for "never".
inline int ClearDelayMs(int seconds) {
    return seconds <= 0 ? 0 : (seconds > 86400 ? 86400 : seconds) * 1000;
}

}  // namespace tessaline
