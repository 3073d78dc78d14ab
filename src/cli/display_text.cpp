#include "cli/display_text.h"

#include <array>
#include <optional>

namespace tessaline::cli {

namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned bytes keep their own code.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
std::optional<std::u32string> DecodeUtf8(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        std::size_t extra;
        char32_t c;
        char32_t minimum;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            extra = 1, c = b0 & 0x1F, minimum = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            extra = 2, c = b0 & 0x0F, minimum = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            extra = 3, c = b0 & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i <= extra)
            return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if ((b & 0xC0) != 0x80)
                return std::nullopt;
            c = (c << 6) | (b & 0x3F);
        }
        if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return std::nullopt;
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

std::u32string DecodeCardText(std::string_view bytes) {
    if (std::optional<std::u32string> utf8 = DecodeUtf8(bytes))
        return *utf8;
    std::u32string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char32_t{b});
    }
    return out;
}

std::string DisplayCell(std::string_view bytes, std::size_t keep) {
    std::u32string text = DecodeCardText(bytes);
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
