#pragma once
// Texts as the search compares them: the characters the user sees (the display rule of
// text_encoding.h), with letter case folded by Unicode's case folding, so "CAFÉ" finds "café",
// "STRASSE" finds "Straße" and "ΣΟΦΙΑ" finds "σοφία", whatever bytes each card keeps.

#include <string>
#include <string_view>

namespace tessaline {

// Replaces out with the folded characters of the stored bytes. out is reused, so that
// folding many texts in a row allocates rarely.
void FoldStoredText(std::string_view bytes, std::u32string& out);
std::u32string FoldedStoredText(std::string_view bytes);
// Clears every character the buffer ever held (its whole capacity): folded texts may be
// passwords.
void WipeFolded(std::u32string& text);

}  // namespace tessaline
