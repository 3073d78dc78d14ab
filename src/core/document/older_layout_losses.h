#pragma once
// What a plain or compatible file cannot keep of a document (the recycle bin, earlier
// versions of cards, the optional fields) and the question asked before such a save:
// seal the file instead, save without them, or do nothing.

#include <cstddef>
#include <string>

#include "core/cards/card_collection.h"

namespace tessaline {

class IUserAnswers;

struct OlderLayoutLosses {
    std::size_t recycledCards = 0;
    std::size_t earlierVersions = 0;  // of the cards in the lists and the recycle bin
    std::size_t cardsWithOptionalFields = 0;

    bool Any() const { return recycledCards + earlierVersions + cardsWithOptionalFields > 0; }
    // No more of anything than these.
    bool Covers(const OlderLayoutLosses& other) const {
        return other.recycledCards <= recycledCards && other.earlierVersions <= earlierVersions &&
               other.cardsWithOptionalFields <= cardsWithOptionalFields;
    }
    friend bool operator==(const OlderLayoutLosses&, const OlderLayoutLosses&) = default;
};

// What an older layout would not keep of the cards. (Tombstones and identities are not
// counted: the user never sees them.)
OlderLayoutLosses LossesInOlderLayout(const CCardCollection& cards);

// The question's text for the file named name; canSeal: the answer may be to seal it.
std::string OlderLayoutLossMessage(const OlderLayoutLosses& losses, const std::string& name,
                                   bool canSeal);

enum class OlderLayoutChoice { Seal, SaveWithout, Cancel };
// Asks the question (with "Seal the File" first when canSeal) and returns the answer.
OlderLayoutChoice AskAboutOlderLayout(IUserAnswers& ui, const OlderLayoutLosses& losses,
                                      const std::string& name, bool canSeal);

}  // namespace tessaline
