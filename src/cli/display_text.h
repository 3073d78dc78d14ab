#pragma once
// Card texts made fit for a terminal. A card keeps the exact bytes of its file: bytes
// that form valid UTF-8 are shown as UTF-8, any other text as Windows-1252. Control
// characters are never passed on, so a card cannot steer the terminal.

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaline::cli {

// One cell of a listing, as UTF-8: tabs and line breaks become spaces, other control
// characters U+FFFD. With keep > 0, a text of more than keep characters shows its
// first keep characters followed by "...".
std::string DisplayCell(std::string_view bytes, std::size_t keep = 0);

}  // namespace tessaline::cli
