#include "core/cards/text_encoding.h"

#include <array>
#include <cstdint>
#include <optional>

namespace tessaline {

namespace {

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves unassigned map to
// the control characters of the same number, so every byte has a character and back.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Cp1252ToChar(std::uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

std::optional<std::uint8_t> CharToCp1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<std::uint8_t>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<std::uint8_t>(0x80 + i);
    }
    return std::nullopt;
}

// Decodes one UTF-8 sequence at bytes[pos]; advances pos. nullopt for a malformed one.
std::optional<char32_t> NextUtf8(std::string_view bytes, std::size_t& pos) {
    const auto lead = static_cast<std::uint8_t>(bytes[pos]);
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        c = lead & 0x07;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (bytes.size() - pos <= static_cast<std::size_t>(extra))
        return std::nullopt;
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[pos + static_cast<std::size_t>(i)]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return std::nullopt;
    pos += static_cast<std::size_t>(extra) + 1;
    return c;
}

}  // namespace

bool IsUtf8WithNonAscii(std::string_view bytes) {
    bool nonAscii = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (static_cast<std::uint8_t>(bytes[pos]) >= 0x80)
            nonAscii = true;
        if (!NextUtf8(bytes, pos))
            return false;
    }
    return nonAscii;
}

std::u32string DecodeStoredBytes(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    if (IsUtf8WithNonAscii(bytes)) {
        std::size_t pos = 0;
        while (pos < bytes.size())
            out.push_back(*NextUtf8(bytes, pos));
        return out;
    }
    for (char b : bytes)
        out.push_back(Cp1252ToChar(static_cast<std::uint8_t>(b)));
    return out;
}

std::string EncodeTypedText(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    bool fits = true;
    for (char32_t c : text) {
        const std::optional<std::uint8_t> b = CharToCp1252(c);
        if (!b) {
            fits = false;
            break;
        }
        out.push_back(static_cast<char>(*b));
    }
    // Windows-1252 bytes that happen to form UTF-8 (typed "Ã©" is C3 A9) would read back
    // as other characters; such text is stored as UTF-8 so that it shows as typed.
    if (fits && !IsUtf8WithNonAscii(out))
        return out;
    out.clear();
    for (char32_t c : text)
        AppendUtf8(out, c);
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

std::string ShownAsUtf8(std::string_view stored) {
    if (IsUtf8WithNonAscii(stored))
        return std::string(stored);
    std::string utf8;
    utf8.reserve(stored.size() * 3);
    for (char c : stored) {
        if (static_cast<unsigned char>(c) < 0x80) {
            utf8.push_back(c);
        } else {
            const std::u32string one = DecodeStoredBytes(std::string_view(&c, 1));
            AppendUtf8(utf8, one[0]);
        }
    }
    return utf8;
}

}  // namespace tessaline
