#pragma once
// Finding the one card a command names: by its name as ls shows it, or by the first digits
// of its identity. A name or prefix several cards share is refused with their identities.

#include <string>

#include "core/cards/card.h"

namespace tessaline {
class CCardCollection;
}

namespace tessaline::cli {

struct CliContext;
struct CliRequest;

// Whether the request names a card by CARD or by --id (one of them, and not an empty name);
// else says why. Checked before a file is opened, so that no password is asked in vain.
bool CardRequestNamesOne(const CliRequest& request, CliContext& ctx);

// The card request names among the cards in the categories and the recycle bin. Null, after
// saying why, with the exit status in status (1 no such card, 2 no card named or several
// cards match).
CCard* FindRequestedCard(CCardCollection& cards, const CliRequest& request, CliContext& ctx,
                         int& status);

// "Bank Accounts", or "Recycle Bin (Bank Accounts)" for a card in the recycle bin.
std::string WhereTheCardIs(const CCard& card);

}  // namespace tessaline::cli
