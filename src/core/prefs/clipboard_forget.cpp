#include "core/prefs/clipboard_forget.h"

namespace tessaline {

std::uint64_t ClipboardForgetRule::Placed(std::string text) {
    text_ = std::move(text);
    holding_ = true;
    return ++ticket_;
}

bool ClipboardForgetRule::ShouldClearAt(std::uint64_t ticket, const std::string& current) const {
    return holding_ && ticket == ticket_ && current == text_;
}

bool ClipboardForgetRule::ShouldClearOnExit(const std::string& current) const {
    return holding_ && current == text_;
}

void ClipboardForgetRule::Forget() {
    // Overwrite the copy before letting it go.
    for (char& c : text_)
        c = 0;
    text_.clear();
    holding_ = false;
}

}  // namespace tessaline
