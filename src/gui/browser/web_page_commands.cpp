#include "gui/browser/web_page_commands.h"

#include "core/browser/browser_commands.h"
#include "gui/document/tessaline_doc.h"
#include "gui/text/text_codec.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

void LoadWebPageOfSelectedCard(BrowserCommands& commands, CTessalineNewView* activeView) {
    if (!activeView)
        return;
    commands.LoadWebPage(activeView->SelectedCard());
}

CCard* GetWebPageIntoNewCard(BrowserCommands& commands, CTessalineNewDoc* activeDocument,
                             CTessalineNewView* activeView, IUserAnswers& ui, IProfile& profile,
                             const CardEditorRunner& editor) {
    const WebPageInfo page = commands.GetWebPage();
    if (!activeDocument || !activeView)
        return nullptr;
    return OnNewCardFromWebPage(*activeDocument, *activeView, ui, profile, DisplayText(page.title),
                                DisplayText(page.address), editor);
}

}  // namespace tessaline
