#include "gui/browser/web_page_commands.h"

#include "core/browser/browser_commands.h"
#include "core/cards/card.h"
#include "gui/document/tessaline_doc.h"
#include "gui/text/text_codec.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

std::string LoadWebPageOfSelectedCard(BrowserCommands& commands, CTessalineNewView* activeView) {
    if (!activeView)
        return {};
    return commands.LoadWebPage(activeView->SelectedCard());
}

std::string FillLoginFromDocument(BrowserCommands& commands, CTessalineNewDoc* activeDocument,
                                  CTessalineNewView* activeView) {
    return commands.FillLogin(activeDocument ? &activeDocument->Cards() : nullptr,
                              activeView ? activeView->SelectedCard() : nullptr);
}

CCard* GetWebPageIntoNewCard(BrowserCommands& commands, CTessalineNewDoc* activeDocument,
                             CTessalineNewView* activeView, IUserAnswers& ui, IProfile& profile,
                             const CardEditorRunner& editor) {
    const WebPageInfo page = commands.GetWebPage();
    return NewCardFromWebPage(
        page, [&commands] { return commands.TypedPagePassword(); }, activeDocument, activeView, ui,
        profile, editor);
}

CCard* NewCardFromWebPage(const WebPageInfo& page, std::function<std::string()> typedPassword,
                          CTessalineNewDoc* activeDocument, CTessalineNewView* activeView,
                          IUserAnswers& ui, IProfile& profile, const CardEditorRunner& editor) {
    if (!activeDocument || !activeView)
        return nullptr;
    const WebPageLogin login{page.hasLoginForm, page.typedUserId, std::move(typedPassword)};
    return OnNewCardFromWebPage(*activeDocument, *activeView, ui, profile, DisplayText(page.title),
                                DisplayText(page.address), editor, login);
}

std::unique_ptr<CardsForBrowserCall> CopyCardsForBrowserCall(CTessalineNewDoc* activeDocument,
                                                             CTessalineNewView* activeView,
                                                             bool withLists) {
    auto copies = std::make_unique<CardsForBrowserCall>();
    if (activeView && activeView->SelectedCard())
        copies->selected = copies->cards.Adopt(*activeView->SelectedCard());
    if (withLists && activeDocument) {
        const CCardCollection& cards = activeDocument->Cards();
        for (int code = 0; code < kCategoryCount; ++code)
            for (const CCard* card : cards.List(code))
                // A card without an address never matches a page.
                if (card && !card->Address().empty())
                    copies->cards.AddCardToCategory(code, copies->cards.Adopt(*card));
    }
    return copies;
}

}  // namespace tessaline
