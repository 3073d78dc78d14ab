#include "core/views/card_dialog_presets.h"

#include "core/base/secure_wipe.h"
#include "core/cards/card.h"
#include "core/cards/categories.h"

namespace tessaline {

namespace {

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    for (std::string_view n : names) {
        if (n == name)
            return true;
    }
    return false;
}

std::array<std::string, 4> LabelsOf(std::string_view categoryName, bool withColon) {
    CategoryLabels labels{};
    std::array<std::string, 4> out;
    if (LabelsByName(categoryName, labels) == 0)
        return out;
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = withColon ? labels[i] + ":" : labels[i];
    return out;
}

}  // namespace

std::array<std::string, 4> EditorFieldLabels(std::string_view categoryName) {
    return LabelsOf(categoryName, true);
}

std::string NewCardAddress(std::string_view categoryName) {
    if (categoryName == "WWW Sites" || categoryName == "Miscellaneous")
        return "http://";
    if (categoryName == "FTP Servers" || categoryName == "Newsgroups")
        return "ftp://";
    if (categoryName == "Login Accounts")
        return "telnet://";
    return {};
}

bool AttributesEnabledForNewCard(std::string_view categoryName) {
    return IsOneOf(categoryName, {"WWW Sites", "Password Manager", "FTP Servers", "Miscellaneous"});
}

bool AttributesEnabledForEdit(std::string_view categoryName) {
    return IsOneOf(categoryName,
                   {"WWW Sites", "WWW Forms", "Password Manager", "FTP Servers", "Miscellaneous"});
}

bool AddressButtonShown(std::string_view categoryName) {
    return IsOneOf(categoryName, {"WWW Sites", "FTP Servers", "Newsgroups", "Password Manager",
                                  "Login Accounts", "Miscellaneous", ""});
}

CardEditorFields PresetForNewCard(std::string_view selectorText) {
    if (CategoryCodeOfName(selectorText) < 0 &&
        (selectorText == kShowAll || selectorText == kSearchResults)) {
        CardEditorFields f = PresetForNewCard(CategoryDisplayName(kWwwSites));
        f.chooseCategory = true;
        return f;
    }
    CardEditorFields f;
    f.categoryName = std::string(selectorText);
    f.labels = EditorFieldLabels(selectorText);
    f.address = NewCardAddress(selectorText);
    f.attributesEnabled = AttributesEnabledForNewCard(selectorText) ? 1 : 0;
    return f;
}

CardEditorFields WithChosenCategory(CardEditorFields f, std::string_view categoryName) {
    if (f.address == NewCardAddress(f.categoryName))
        f.address = NewCardAddress(categoryName);
    f.categoryName = std::string(categoryName);
    f.labels = EditorFieldLabels(categoryName);
    f.attributesEnabled = AttributesEnabledForNewCard(categoryName) ? 1 : 0;
    return f;
}

CardEditorFields PresetForWebPage(std::string_view selectorText, std::string_view pageTitle,
                                  std::string_view pageAddress, bool hasLoginForm,
                                  std::string_view typedUserId) {
    CardEditorFields f;
    f.categoryName = std::string(selectorText);
    f.labels = LabelsOf(selectorText, false);
    f.name = std::string(pageTitle);
    f.address = std::string(pageAddress);
    f.attributesEnabled = AttributesEnabledForNewCard(selectorText) ? 1 : 0;
    if (hasLoginForm) {
        f.userId = std::string(typedUserId);
        f.offerPagePassword = true;
    }
    return f;
}

CardEditorFields PresetForEdit(const CCard& card) {
    CardEditorFields f;
    f.editMode = 1;
    f.categoryName = CategoryDisplayName(card.Category());
    f.labels = EditorFieldLabels(f.categoryName);
    f.name = card.Name();
    f.address = card.Address();
    f.userId = card.UserId();
    f.password = card.Password();
    f.note = card.Note();
    f.newBrowserWindow = card.NewBrowserWindow();
    f.automaticAccess = card.AutomaticAccess();
    f.otpUri = card.OtpUri();
    f.attributesEnabled = AttributesEnabledForEdit(f.categoryName) ? 1 : 0;
    f.expiresMs = card.ExpiresMs();
    f.tags = card.Tags();
    f.otpUri = card.OtpUri();
    f.customFields = card.CustomFields();
    f.history = HistoryRows(card);
    return f;
}

std::string NoteForEditor(const std::string& stored) {
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < stored.size() && stored[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(stored[i]);
        }
    }
    return out;
}

std::string NoteFromEditor(const std::string& edited, const std::string& stored) {
    if (NoteForEditor(stored) == NoteForEditor(edited))
        return stored;
    std::string normal = NoteForEditor(edited);
    std::string out;
    out.reserve(normal.size() + normal.size() / 16);
    for (char c : normal) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::optional<std::string> FieldTooLong(const CardEditorFields& f) {
    const std::string* texts[] = {&f.name, &f.address, &f.userId, &f.password};
    for (std::size_t i = 0; i < 4; ++i) {
        if (texts[i]->size() >= kMaxCardTextBytes) {
            std::string label = f.labels[i];
            if (!label.empty() && label.back() == ':')
                label.pop_back();
            if (label.empty())
                label = "Field " + std::to_string(i + 1);
            return label;
        }
    }
    if (f.note.size() >= kMaxCardTextBytes)
        return std::string("Note");
    return std::nullopt;
}

std::string TooLongMessage(const std::string& fieldLabel) {
    return "The text of \"" + fieldLabel +
           "\" is too long: a card's text must stay below 32,767 bytes.";
}

std::string EscapeAmpersands(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out.push_back(c);
        if (c == '&')
            out.push_back('&');
    }
    return out;
}

void WipeEditorTexts(CardEditorFields& fields) {
    for (std::string* text : {&fields.name, &fields.address, &fields.userId, &fields.password,
                              &fields.note, &fields.otpUri})
        SecureWipe(*text);
    for (std::string& tag : fields.tags)
        SecureWipe(tag);
    fields.tags.clear();
    for (CustomField& custom : fields.customFields) {
        SecureWipe(custom.name);
        SecureWipe(custom.value);
    }
    fields.customFields.clear();
    for (HistoryRow& row : fields.history) {
        SecureWipe(row.name);
        SecureWipe(row.userId);
    }
    fields.history.clear();
}

}  // namespace tessaline
