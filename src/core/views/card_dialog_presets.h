#pragma once
// What the card editor starts with for each of its callers, which of its controls are
// offered for a category, and how its note travels between card and editor.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cards/card.h"
#include "core/views/card_history_rows.h"

namespace tessaline {

// The members the card editor edits. Texts are card bytes.
struct CardEditorFields {
    std::string name{"Untitled"};
    std::string address;
    std::string userId;
    std::string password;
    std::string note;
    std::string categoryName;
    bool newBrowserWindow = false;
    bool automaticAccess = false;
    std::array<std::string, 4> labels;
    int editMode = 0;           // 1: "Edit Card" with an "OK" button
    int attributesEnabled = 0;  // 1: the two attribute boxes can be changed
    int passwordHidden = 1;
    // A new card from a page with a login form: the dialog offers "Take the password typed
    // into the page" (off at first); takePagePassword is what the user chose.
    bool offerPagePassword = false;
    bool takePagePassword = false;
    // The optional fields of the editor's second page.
    std::optional<std::int64_t> expiresMs;
    std::vector<std::string> tags;
    std::string otpUri;
    std::vector<CustomField> customFields;
    // Editing a card: what its History page lists (the card now, then its earlier versions).
    std::vector<HistoryRow> history;
    // The user chose Restore on the History page: the earlier version (its index in the
    // card's history) that is to become the card; the other fields are then not applied.
    std::optional<int> restoreVersion;
    // A new card while the list shows no one category ("Show All", "Search Results"): the
    // editor offers the categories to choose from, and categoryName is the one chosen.
    bool chooseCategory = false;
};

// Clears the card's texts held by the fields (name, address, user ID, password, note and
// the optional fields' texts) where they lie, and empties them.
void WipeEditorTexts(CardEditorFields& fields);

// Texts of this many bytes or more cannot be stored in a card.
inline constexpr std::size_t kMaxCardTextBytes = 32767;

// A new card in the category the selector shows. Where it shows no one category the
// editor asks for it, starting with WWW Sites.
CardEditorFields PresetForNewCard(std::string_view selectorText);
// The fields after the user chose another category in the editor: its labels, its
// attribute boxes, and its starting address when the address was still the one the
// earlier category started with.
CardEditorFields WithChosenCategory(CardEditorFields fields, std::string_view categoryName);
// A new card from the page the browser shows.
// With a login form on the page, the user ID typed into it is offered and so is taking
// the password typed there.
CardEditorFields PresetForWebPage(std::string_view selectorText, std::string_view pageTitle,
                                  std::string_view pageAddress, bool hasLoginForm = false,
                                  std::string_view typedUserId = {});
// Editing a card, from the menu, the toolbar or a double click.
CardEditorFields PresetForEdit(const CCard& card);

// The labels the editor shows beside a card's four texts for its category ("Name/Type:",
// "Exp. Date:", ...), and beside its note. Printing labels the texts the same way.
std::array<std::string, 4> EditorFieldLabels(std::string_view categoryName);
inline constexpr const char* kEditorNoteLabel = "Note:";

// The address a new card of that category starts with.
std::string NewCardAddress(std::string_view categoryName);
// Whether the attribute boxes are offered for a new card / a card being edited.
bool AttributesEnabledForNewCard(std::string_view categoryName);
bool AttributesEnabledForEdit(std::string_view categoryName);
// Whether the address button (larger editor, file picker) is offered.
bool AddressButtonShown(std::string_view categoryName);

// The note as the multi-line editor shows it: every CR LF, lone CR and lone LF becomes
// one line feed.
std::string NoteForEditor(const std::string& stored);
// The note to store after editing: the stored bytes when the user left the note as it
// was shown, else the edited note with CR LF line ends.
std::string NoteFromEditor(const std::string& edited, const std::string& stored);

// The first field whose text is too long to be stored, by its label ("Note" for the
// note), or nothing when every text fits.
std::optional<std::string> FieldTooLong(const CardEditorFields& fields);
// The message for a field that is too long.
std::string TooLongMessage(const std::string& fieldLabel);

// Asked before Restore on the History page drops what the user changed in the editor.
inline constexpr const char* kRestoreDropsEditsMessage =
    "The changes made in this editor will not be kept. Restore the earlier version?";

// A text shown literally in a menu item: every "&" doubled.
std::string EscapeAmpersands(std::string_view text);

}  // namespace tessaline
