#pragma once
// How the card editor's second page shows and reads a card's optional fields: the tags as
// one line of words, and which custom fields can be kept.

#include <string>
#include <string_view>
#include <vector>

#include "core/cards/card.h"

namespace tessaline {

// The words of a tag line: separated by commas, semicolons or white space; each word once,
// in the order typed; empty words dropped.
std::vector<std::string> ParseTagLine(std::string_view line);
// The tags as the editor shows them: separated by ", ".
std::string TagLine(const std::vector<std::string>& tags);

// The custom fields to keep from the editor's rows: a row with neither name nor value is
// an empty row the user added and left, and goes.
std::vector<CustomField> KeptCustomFields(std::vector<CustomField> rows);

}  // namespace tessaline
