#pragma once
// Load Web Page, Get Web Page and Fill Login as the main window runs them on its active
// card list.

#include <string>

#include "gui/views/card_edit_commands.h"

namespace tessaline {

class BrowserCommands;
class CCard;
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

}  // namespace tessaline
