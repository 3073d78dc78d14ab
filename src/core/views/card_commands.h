#pragma once
// The card commands as operations on a document's cards: what each one changes, what it
// tells the user, and when it can be chosen. The windows only gather the user's input
// and show the result.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/cards/card.h"
#include "core/commands/command_ids.h"
#include "core/platform/user_answers.h"
#include "core/views/card_dialog_presets.h"

namespace tessaline {

class CCardCollection;
class IProfile;

namespace card_messages {
inline constexpr const char* kSelectCategoryFirst = "Please select a category first.";
inline constexpr const char* kCannotAddHere = "You can not add cards to this category!";
inline constexpr const char* kDeleteSelectCategoryFirst =
    "To delete a card, select a category first.";
inline constexpr const char* kConfirmDelete = "Are you sure you want to delete the card \"%1\"?";
inline constexpr const char* kAlreadyInCategory = "Card already in this category";
inline constexpr const char* kNoCardSelected = "No card selected, please select a card first!";
inline constexpr const char* kNotTseFile =
    "File path not correct, not a .tse file, or file not found !";
inline constexpr const char* kReplacePassword = "Replace the password of %1 with the new one?";
}  // namespace card_messages

// New Card where the selector shows no one category ("Show All", "Search Results"): the
// card editor asks for the category.
bool NewCardAsksCategory(std::string_view selectorText);

// Whether new cards can go into the list the selector shows. "Show All" and "Search
// Results" name no list: the user is told so and false is returned.
bool CanAddCardsTo(std::string_view selectorText, IUserAnswers& ui);

// A new card from the editor's fields, filed in the selector's category, stamped now.
// Returns nothing (and adds nothing) when the text names no category.
CCard* AddNewCard(CCardCollection& cards, std::string_view selectorText,
                  const CardEditorFields& fields, const IProfile& profile, std::uint32_t now);

// Stores the editor's fields in the card when anything differs; true when it changed.
bool ApplyCardEdit(CCard& card, const CardEditorFields& edited, const IProfile& profile,
                   std::uint32_t now);

// Delete Card, asking first with the card's name. True when the card was deleted. The
// card leaves its own category list (whatever the selector shows, "Show All" and
// "Search Results" too) and the search results.
bool DeleteCard(CCardCollection& cards, std::string_view selectorText, CCard* card,
                IUserAnswers& ui);

enum class MoveResult { NoCard, AlreadyThere, Moved };
// Change Category: moves the card to the end of the target category's list, keeping its
// time; tells the user when it is already there.
MoveResult ChangeCardCategory(CCardCollection& cards, CCard* card, int targetCode,
                              IUserAnswers& ui);

// One item of the "Change Category" submenu.
struct ChangeCategoryItem {
    const char* text;
    CommandId command;
    int code;
};
extern const std::array<ChangeCategoryItem, 15> kChangeCategoryMenu;
// The category a "Change Category" command moves to, or -1 for any other command.
int ChangeCategoryTarget(CommandId command);

// A copy as Copy Card makes it: "Copy of " and the name, the texts, category, attributes
// and optional fields of the source, stamped now, changed mark set, nothing else (no
// identity, no history: pasted, it is a new card).
CCard MakeCardCopy(const CCard& source, const IProfile& profile, std::uint32_t now);

// The card a view holds after Copy Card until Paste Card hands it to the document.
class CardClipboard {
public:
    bool HasCard() const { return card_.has_value(); }
    const std::optional<CCard>& Card() const { return card_; }
    // Copy Card: replaces an earlier card. Nothing when source is null.
    bool Copy(const CCard* source, const IProfile& profile, std::uint32_t now);
    // Paste Card into the selector's category. "Show All" and "Search Results" are
    // refused with the New Card messages and the card stays here. Returns the pasted card.
    CCard* Paste(CCardCollection& cards, std::string_view selectorText, IUserAnswers& ui);
    // Wipes the copied card's texts and lets it go (its document was locked).
    void Forget();

private:
    std::optional<CCard> card_;
};

// "Use" of the password generator: the card's password becomes text, stamped now. False
// (and nothing changes) without a card.
bool SetCardPassword(CCard* card, const std::string& text, const IProfile& profile,
                     std::uint32_t now);

// Before "Use" of the password generator: a card that has a password keeps it unless the
// user answers Yes to "Replace the password of NAME with the new one?". True = go ahead.
bool ConfirmPasswordReplace(const CCard* card, IUserAnswers& ui);

// A card's name as the list shows it, in UTF-8, for the messages that name it.
std::string ShownCardName(const CCard& card);

enum class CardField { Name, UserId, Password, Note, Address };
// The text a Copy field command puts on the clipboard; nothing without a card.
std::optional<std::string> FieldText(const CCard* card, CardField field);
// What the status bar calls the field after a copy: "Name", "User ID", "Password", "Note",
// "Address".
const char* CardFieldName(CardField field);

// Whether an address names a data file that "Use Password To Open .tse File" may open.
bool NamesDataFile(std::string_view address);
// "Use Password To Open .tse File": the path to open, or nothing after telling the user.
std::optional<std::string> DataFileToOpen(const CCard* card, IUserAnswers& ui);

// Facts that decide whether a card command can be chosen.
struct CardCommandContext {
    bool hasView = false;
    bool hasSelection = false;
    std::string selectorText;
    bool pasteAvailable = false;
    bool selectionHasOneTimeCode = false;  // the selected card has a one-time-code secret
};
// The enabled state of a card command (new, edit, delete, change category, copy, paste,
// open data file); nothing for commands that are not card commands.
std::optional<bool> IsCardCommandEnabled(CommandId command, const CardCommandContext& context);

}  // namespace tessaline
