#include "core/cards/text_folding.h"

#include <utf8proc.h>

#include "core/base/secure_wipe.h"
#include "core/cards/text_encoding.h"

namespace tessaline {

namespace {

bool IsAscii(std::string_view bytes) {
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

char32_t FoldAscii(char32_t c) {
    return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
}

// Unicode's full case folding (CaseFolding.txt, status C and F) of one character.
void AppendFolded(std::u32string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(FoldAscii(c));
        return;
    }
    utf8proc_int32_t folded[8];
    int boundclass = 0;
    const utf8proc_ssize_t n = utf8proc_decompose_char(static_cast<utf8proc_int32_t>(c), folded, 8,
                                                       UTF8PROC_CASEFOLD, &boundclass);
    if (n <= 0 || n > 8) {
        out.push_back(c);
        return;
    }
    for (utf8proc_ssize_t i = 0; i < n; ++i)
        out.push_back(static_cast<char32_t>(folded[i]));
}

}  // namespace

void FoldStoredText(std::string_view bytes, std::u32string& out) {
    out.clear();
    // Most texts are plain ASCII: no decoding needed.
    if (IsAscii(bytes)) {
        for (char b : bytes)
            out.push_back(FoldAscii(static_cast<unsigned char>(b)));
        return;
    }
    std::u32string shown = DecodeStoredBytes(bytes);
    for (char32_t c : shown)
        AppendFolded(out, c);
    WipeFolded(shown);
}

void WipeFolded(std::u32string& text) {
    text.resize(text.capacity());
    SecureWipe(text.data(), text.size() * sizeof(char32_t));
    text.clear();
}

std::u32string FoldedStoredText(std::string_view bytes) {
    std::u32string out;
    FoldStoredText(bytes, out);
    return out;
}

}  // namespace tessaline
