#include <array>

#include "core/commands/command_rules.h"
#include "core/commands/command_table.h"

namespace tessaline {

namespace {

using namespace command_rules;
using enum CommandId;

constexpr CommandInfo MoveTo(CommandId id, std::string_view text, std::string_view prompt) {
    return Command(id, text, prompt, HasSelectedLiveCard);
}

constexpr CommandInfo ContextItem(CommandId id, std::string_view text, EnabledRule enabled) {
    return Command(id, text, "", enabled).InContextMenuOnly();
}

constexpr std::array kCardCommands{
    Command(NewCard, "&New Card", "Add a New Card To a Category", HasView).Keys("Ctrl+N"),
    Command(DeleteCard, "&Delete Card", "Delete a Card From a Category", HasSelectedCard)
        .Keys("Ctrl+D"),
    Command(EditCard, "&Edit Card", "Update a Card", HasSelectedLiveCard).Keys("Ctrl+E"),
    Command(ToolAddCard, "Add Card", "Add a New Card To a Category", HasView)
        .Tip("Add Card")
        .Icon("add_card"),
    Command(ToolDeleteCard, "Delete Card", "Delete a Card From a Category", HasSelectedCard)
        .Tip("Delete Card")
        .Icon("delete_card"),
    Command(ToolUpdateCard, "Update Card", "Update a Card", HasSelectedLiveCard)
        .Tip("Update Card")
        .Icon("update_card"),
    Command(RestoreCard, "&Restore Card", "Put the card back into its category",
            HasSelectedRecycledCard),
    Command(DeletePermanently, "Delete &Permanently...", "Delete the card for good",
            HasSelectedRecycledCard),
    // Card > Change Category
    MoveTo(MoveToWwwSites, "WWW Sites", "Move the card to WWW Sites"),
    MoveTo(MoveToWwwForms, "WWW Forms", "Move the card to WWW Forms"),
    MoveTo(MoveToFtpServers, "FTP Servers", "Move the card to FTP Servers"),
    MoveTo(MoveToNewsgroups, "NewsGroups", "Move the card to Newsgroups"),
    MoveTo(MoveToLoginAccounts, "Login Accounts", "Move the card to Login Accounts"),
    MoveTo(MoveToEmailAccounts, "EMail Accounts", "Move the card to Email Accounts"),
    MoveTo(MoveToBankAccounts, "Bank Accounts", "Move the card to Bank Accounts"),
    MoveTo(MoveToOnlineBanking, "Online Banking", "Move the card to Online Banking"),
    MoveTo(MoveToCreditCards, "Credit Cards", "Move the card to Credit Cards"),
    MoveTo(MoveToAtmPinCards, "ATM/PIN Cards", "Move the card to ATM/PIN Cards"),
    MoveTo(MoveToPersonalData, "Personal Data", "Move the card to Personal Data"),
    MoveTo(MoveToSoftwareKeys, "Software Keys", "Move the card to Software Keys"),
    MoveTo(MoveToSerialNumbers, "Serial Numbers", "Move the card to Serial Numbers"),
    MoveTo(MoveToMembershipNumbers, "Membership Numbers", "Move the card to Membership Numbers"),
    MoveTo(MoveToMiscellaneous, "Miscellaneous", "Move the card to Miscellaneous"),
    // Card > Copy ..., also in the card list's context menu. Ctrl+C is Edit > Copy's key: in
    // the card list it copies the password, so the entry shows it.
    Command(CopyName, "Copy Name", "Copy the card's name to the clipboard", HasSelectedCard),
    Command(CopyUserId, "Copy User ID", "Copy the card's user ID to the clipboard", HasSelectedCard)
        .Keys("Ctrl+B"),
    Command(CopyPasswordItem, "Copy Password", "Copy the card's password to the clipboard",
            HasSelectedCard)
        .ShowsKeys("Ctrl+C"),
    Command(CopyAddress, "Copy Address", "Copy the card's address to the clipboard",
            HasSelectedCard)
        .Keys("Ctrl+U"),
    Command(CopyNote, "Copy Note", "Copy the card's note to the clipboard", HasSelectedCard),
    Command(OpenAddress, "Open Address", "Open the card's address in the web browser",
            HasSelectedCard)
        .Keys("Ctrl+Shift+U"),
    // The card list's context menu
    ContextItem(CopyCard, "Copy Card", HasView),
    ContextItem(PasteCard, "Paste Card", CardToPaste),
    ContextItem(UsePasswordToOpen, "Use Password To Open .tse File", HasView),
    Command(CopyOneTimeCode, "Copy One-&Time Code", "Copy the card's current one-time code",
            SelectedCardHasOneTimeCode)
        .Keys("Ctrl+T"),
};

}  // namespace

std::span<const CommandInfo> CardCommandTable() {
    return kCardCommands;
}

}  // namespace tessaline
