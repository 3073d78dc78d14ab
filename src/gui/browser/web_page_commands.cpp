#include "gui/browser/web_page_commands.h"

#include "core/browser/browser_commands.h"
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
    if (!activeDocument || !activeView)
        return nullptr;
    const WebPageLogin login{page.hasLoginForm, page.typedUserId,
                             [&commands] { return commands.TypedPagePassword(); }};
    return OnNewCardFromWebPage(*activeDocument, *activeView, ui, profile, DisplayText(page.title),
                                DisplayText(page.address), editor, login);
}

}  // namespace tessaline
