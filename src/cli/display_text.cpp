#include "cli/display_text.h"

#include "core/cards/text_encoding.h"

namespace tessaline::cli {

namespace {

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

std::string DisplayCell(std::string_view bytes, std::size_t keep) {
    std::u32string text = DecodeStoredBytes(bytes);
    const bool cut = keep > 0 && text.size() > keep;
    if (cut)
        text.resize(keep);
    std::string out;
    out.reserve(text.size() + 3);
    for (char32_t c : text) {
        if (c == '\t' || c == '\r' || c == '\n') {
            out.push_back(' ');
        } else if (IsControl(c)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, c);
        }
    }
    if (cut)
        out += "...";
    return out;
}

}  // namespace tessaline::cli
