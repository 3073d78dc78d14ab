#pragma once
// Load Web Page, Get Web Page and Fill Login as the main window runs them on its active
// card list.

#include <functional>
#include <memory>
#include <string>

#include "core/cards/card_collection.h"
#include "gui/views/card_edit_commands.h"

namespace tessaline {

class BrowserCommands;
class CCard;
struct WebPageInfo;
class CTessalineNewDoc;
class CTessalineNewView;
class IProfile;
class IUserAnswers;

// Load Web Page (32819, 32822): opens the selected card's address; nothing without a
// list or a selected card. Gives the status bar's text about the page's login form.
std::string LoadWebPageOfSelectedCard(BrowserCommands& commands, CTessalineNewView* activeView);

// Fill Login: fills the selected card, or a card of the active document that matches the
// browser's page, into that page. Gives the status bar's text.
std::string FillLoginFromDocument(BrowserCommands& commands, CTessalineNewDoc* activeDocument,
                                  CTessalineNewView* activeView);

// Get Web Page (32820, 32821): reads the page the browser shows, then opens the New Card
// dialog of the active list with its title as name and its address (refused, with the
// New Card messages, while the list shows "Show All" or "Search Results"). Without an
// active list nothing more happens. Gives the new card, or none.
CCard* GetWebPageIntoNewCard(BrowserCommands& commands, CTessalineNewDoc* activeDocument,
                             CTessalineNewView* activeView, IUserAnswers& ui, IProfile& profile,
                             const CardEditorRunner& editor = {});
// The second half of Get Web Page, once `page` was read: `typedPassword` reads the
// password typed into the page when the user asks for it.
CCard* NewCardFromWebPage(const WebPageInfo& page, std::function<std::string()> typedPassword,
                          CTessalineNewDoc* activeDocument, CTessalineNewView* activeView,
                          IUserAnswers& ui, IProfile& profile, const CardEditorRunner& editor = {});

// Copies of the cards a browser call works on, apart from the document, so that the user
// may go on editing it while the call runs; wiped when the call is done with them.
struct CardsForBrowserCall {
    CCardCollection cards;            // the listed cards that have an address, in their lists
    const CCard* selected = nullptr;  // the selected card, kept apart from the lists
};
// The selected card of the active list, and with `withLists` every card of the active
// document that has an address.
std::unique_ptr<CardsForBrowserCall> CopyCardsForBrowserCall(CTessalineNewDoc* activeDocument,
                                                             CTessalineNewView* activeView,
                                                             bool withLists);

}  // namespace tessaline
