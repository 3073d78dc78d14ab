#include "core/views/card_commands.h"

#include <algorithm>

#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/cards/categories.h"
#include "core/cards/text_encoding.h"
#include "core/commands/command_table.h"
#include "core/file/data_file.h"
#include "core/prefs/date_format.h"

namespace tessaline {

namespace {

MsgAnswer Ask(IUserAnswers& ui, const char* text, const char* caption, MsgIcon icon,
              MsgButtons buttons = MsgButtons::Ok) {
    return ui.MessageWithCaption(MessageRequest{text, MsgCaption::Application, icon, buttons},
                                 caption);
}

void Stamp(CCard& card, const IProfile& profile, std::uint32_t now) {
    card.SetModificationTime(now);
    card.SetDateText(FormatCardDate(now, profile));
}

// The texts and switches the card editor sets.
void PutEditorFields(CCard& card, const CardEditorFields& f) {
    card.SetName(f.name);
    card.SetAddress(f.address);
    card.SetUserId(f.userId);
    card.SetPassword(f.password);
    card.SetNote(f.note);
    card.SetAutomaticAccess(f.automaticAccess);
    card.SetNewBrowserWindow(f.newBrowserWindow);
    card.SetExpiresMs(f.expiresMs);
    card.SetTags(f.tags);
    card.SetOtpUri(f.otpUri);
    card.SetCustomFields(f.customFields);
}

// Whether the editor left every field of the card as it was.
bool SameAsEditorFields(const CCard& card, const CardEditorFields& e) {
    return card.Name() == e.name && card.Address() == e.address && card.UserId() == e.userId &&
           card.Password() == e.password && card.Note() == e.note &&
           card.AutomaticAccess() == e.automaticAccess &&
           card.NewBrowserWindow() == e.newBrowserWindow && card.ExpiresMs() == e.expiresMs &&
           card.Tags() == e.tags && card.OtpUri() == e.otpUri &&
           card.CustomFields() == e.customFields;
}

}  // namespace

bool NewCardAsksCategory(std::string_view selectorText) {
    return selectorText == kShowAll || selectorText == kSearchResults;
}

std::string ShownCardName(const CCard& card) {
    std::string name;
    for (char32_t c : DecodeStoredBytes(card.Name()))
        AppendUtf8(name, c);
    return name;
}

bool CanAddCardsTo(std::string_view selectorText, IUserAnswers& ui) {
    if (selectorText == kShowAll) {
        Ask(ui, card_messages::kSelectCategoryFirst, "Warning", MsgIcon::Information);
        return false;
    }
    if (selectorText == kSearchResults || selectorText == kRecycleBin) {
        Ask(ui, card_messages::kCannotAddHere, "Notification", MsgIcon::Information);
        return false;
    }
    return CategoryCodeOfName(selectorText) >= 0;
}

CCard* AddNewCard(CCardCollection& cards, std::string_view selectorText, const CardEditorFields& f,
                  const IProfile& profile, std::uint32_t now) {
    const int code = CategoryCodeOfName(selectorText);
    if (code < 0)
        return nullptr;
    CCard card;
    PutEditorFields(card, f);
    card.SetCategory(static_cast<std::uint8_t>(code));
    card.SetCategoryNameText(std::string(selectorText));
    Stamp(card, profile, now);
    card.SetChanged(true);
    CCard* adopted = cards.Adopt(std::move(card));
    cards.AddCardToCategory(code, adopted);
    return adopted;
}

bool ApplyCardEdit(CCard& card, const CardEditorFields& e, const IProfile& profile,
                   std::uint32_t now) {
    if (SameAsEditorFields(card, e))
        return false;
    PutEditorFields(card, e);
    card.SetChanged(true);
    Stamp(card, profile, now);
    return true;
}

bool DeleteCard(CCardCollection& cards, std::string_view selectorText, CCard* card,
                IUserAnswers& ui) {
    // The card leaves its own list, so any list it is shown in will do.
    (void)selectorText;
    if (card == nullptr)
        return false;
    std::string question = card_messages::kConfirmDelete;
    question.replace(question.find("%1"), 2, ShownCardName(*card));
    if (Ask(ui, question.c_str(), "Warning", MsgIcon::Warning, MsgButtons::OkCancel) !=
        MsgAnswer::Ok) {
        return false;
    }
    cards.DeleteCard(card);
    // The card stays for the handheld's sync; its secrets go now.
    if (card->Deleted())
        ClearDeletedCardSecrets(*card);
    CCategoryList& results = cards.SearchResults();
    for (int i = results.IndexOf(card); i >= 0; i = results.IndexOf(card))
        results.RemoveAt(i);
    return true;
}

MoveResult ChangeCardCategory(CCardCollection& cards, CCard* card, int targetCode,
                              IUserAnswers& ui) {
    if (card == nullptr || targetCode < 0 || targetCode >= kCategoryCount)
        return MoveResult::NoCard;
    if (CategoryDisplayName(card->Category()) == CategoryDisplayName(targetCode)) {
        ui.Message(MessageRequest{card_messages::kAlreadyInCategory, MsgCaption::Application,
                                  MsgIcon::None, MsgButtons::Ok});
        return MoveResult::AlreadyThere;
    }
    cards.ChangeCategory(card, targetCode);
    return MoveResult::Moved;
}

const std::array<ChangeCategoryItem, 15> kChangeCategoryMenu{{
    {"WWW Sites", CommandId::MoveToWwwSites, kWwwSites},
    {"WWW Forms", CommandId::MoveToWwwForms, kWwwForms},
    {"FTP Servers", CommandId::MoveToFtpServers, kFtpServers},
    {"NewsGroups", CommandId::MoveToNewsgroups, kNewsgroups},
    {"Login Accounts", CommandId::MoveToLoginAccounts, kLoginAccounts},
    {"EMail Accounts", CommandId::MoveToEmailAccounts, kEmailAccounts},
    {"Bank Accounts", CommandId::MoveToBankAccounts, kBankAccounts},
    {"Online Banking", CommandId::MoveToOnlineBanking, kOnlineBanking},
    {"Credit Cards", CommandId::MoveToCreditCards, kCreditCards},
    {"ATM/PIN Cards", CommandId::MoveToAtmPinCards, kAtmPinCards},
    {"Personal Data", CommandId::MoveToPersonalData, kPersonalData},
    {"Software Keys", CommandId::MoveToSoftwareKeys, kSoftwareKeys},
    {"Serial Numbers", CommandId::MoveToSerialNumbers, kSerialNumbers},
    {"Membership Numbers", CommandId::MoveToMembershipNumbers, kMembershipNumbers},
    {"Miscellaneous", CommandId::MoveToMiscellaneous, kMiscellaneous},
}};

int ChangeCategoryTarget(CommandId command) {
    for (const ChangeCategoryItem& item : kChangeCategoryMenu) {
        if (item.command == command)
            return item.code;
    }
    return -1;
}

CCard MakeCardCopy(const CCard& source, const IProfile& profile, std::uint32_t now) {
    CCard copy;
    copy.SetName("Copy of " + source.Name());
    copy.SetCategory(source.Category());
    copy.SetAddress(source.Address());
    copy.SetUserId(source.UserId());
    copy.SetPassword(source.Password());
    copy.SetNote(source.Note());
    copy.SetAutomaticAccess(source.AutomaticAccess());
    copy.SetNewBrowserWindow(source.NewBrowserWindow());
    copy.SetExpiresMs(source.ExpiresMs());
    copy.SetTags(source.Tags());
    copy.SetOtpUri(source.OtpUri());
    copy.SetCustomFields(source.CustomFields());
    Stamp(copy, profile, now);
    copy.SetChanged(true);
    return copy;
}

bool CardClipboard::Copy(const CCard* source, const IProfile& profile, std::uint32_t now) {
    if (source == nullptr)
        return false;
    card_ = MakeCardCopy(*source, profile, now);
    return true;
}

void CardClipboard::Forget() {
    if (card_)
        card_->ForEachText([](std::string& text) { SecureWipe(text); });
    card_.reset();
}

CCard* CardClipboard::Paste(CCardCollection& cards, std::string_view selectorText,
                            IUserAnswers& ui) {
    if (!card_ || !CanAddCardsTo(selectorText, ui))
        return nullptr;
    const int code = CategoryCodeOfName(selectorText);
    card_->SetCategory(static_cast<std::uint8_t>(code));
    card_->SetCategoryNameText(std::string(selectorText));
    CCard* adopted = cards.Adopt(std::move(*card_));
    card_.reset();
    cards.AddCardToCategory(code, adopted);
    return adopted;
}

bool SetCardPassword(CCard* card, const std::string& text, const IProfile& profile,
                     std::uint32_t now) {
    if (card == nullptr)
        return false;
    card->SetPassword(text);
    card->SetChanged(true);
    Stamp(*card, profile, now);
    return true;
}

bool ConfirmPasswordReplace(const CCard* card, IUserAnswers& ui) {
    if (card == nullptr || card->Password().empty())
        return true;
    // The name as the list shows it; messages are UTF-8.
    std::string text = card_messages::kReplacePassword;
    text.replace(text.find("%1"), 2, ShownCardName(*card));
    return ui.Message(MessageRequest{std::move(text), MsgCaption::Application, MsgIcon::Question,
                                     MsgButtons::YesNo}) == MsgAnswer::Yes;
}

const char* CardFieldName(CardField field) {
    switch (field) {
        case CardField::Name:
            return "Name";
        case CardField::UserId:
            return "User ID";
        case CardField::Note:
            return "Note";
        case CardField::Address:
            return "Address";
        case CardField::Password:
            break;
    }
    return "Password";
}

std::optional<std::string> FieldText(const CCard* card, CardField field) {
    if (card == nullptr)
        return std::nullopt;
    switch (field) {
        case CardField::Name:
            return card->Name();
        case CardField::UserId:
            return card->UserId();
        case CardField::Password:
            return card->Password();
        case CardField::Note:
            return card->Note();
        case CardField::Address:
            return card->Address();
    }
    return std::nullopt;
}

bool NamesDataFile(std::string_view address) {
    return address.find("http:\\") != std::string_view::npos ||
           address.find(".tse") != std::string_view::npos;
}

std::optional<std::string> DataFileToOpen(const CCard* card, IUserAnswers& ui) {
    if (card == nullptr) {
        ui.Message(MessageRequest{card_messages::kNoCardSelected, MsgCaption::Application,
                                  MsgIcon::Information, MsgButtons::Ok});
        return std::nullopt;
    }
    if (!NamesDataFile(card->Address())) {
        ui.Message(MessageRequest{card_messages::kNotTseFile, MsgCaption::Error,
                                  MsgIcon::Information, MsgButtons::Ok});
        return std::nullopt;
    }
    return card->Address();
}

std::optional<bool> IsCardCommandEnabled(CommandId command, const CardCommandContext& c) {
    const bool cardCommand =
        command == CommandId::CopyPassword || command == CommandId::ToolCopyPassword ||
        std::ranges::any_of(CardCommandTable(),
                            [command](const CommandInfo& i) { return i.id == command; });
    if (!cardCommand)
        return std::nullopt;
    CommandContext context;
    context.hasView = c.hasView;
    context.hasSelectedCard = c.hasSelection;
    context.selectorText = c.selectorText;
    context.pasteAvailable = c.pasteAvailable;
    return IsCommandEnabled(command, context);
}

}  // namespace tessaline
