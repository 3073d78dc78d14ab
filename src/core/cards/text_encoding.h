#pragma once
// Card texts are the exact bytes of the data file. To show them, bytes that form valid
// UTF-8 with at least one non-ASCII character are read as UTF-8, all others as
// Windows-1252; typed text goes back as Windows-1252 when every character fits (and those
// bytes would not read back as UTF-8), else as UTF-8. Nothing the user types is dropped or
// replaced.

#include <string>
#include <string_view>

namespace tessaline {

// True when text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) and holds at least one byte above 0x7F.
bool IsUtf8WithNonAscii(std::string_view bytes);

// The characters the stored bytes stand for.
std::u32string DecodeStoredBytes(std::string_view bytes);
// The bytes to store for typed characters.
std::string EncodeTypedText(std::u32string_view text);
// Appends one character as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// The stored bytes as the characters they show, in UTF-8. The text may be a secret: the
// caller wipes what it gets.
std::string ShownAsUtf8(std::string_view stored);

}  // namespace tessaline
