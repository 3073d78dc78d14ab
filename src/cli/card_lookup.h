#pragma once
// Finding the card a command names.

#include <string_view>
#include <vector>

namespace tessaline {
class CCard;
class CCardCollection;
}  // namespace tessaline

namespace tessaline::cli {

// The cards of the fifteen lists (not deleted ones) whose name, as the window shows it in
// UTF-8, is exactly name; in export order.
std::vector<const CCard*> CardsNamed(const CCardCollection& cards, std::string_view name);

}  // namespace tessaline::cli
