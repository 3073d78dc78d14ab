#include "app/frame_file_commands.h"

#include "app/child_frame.h"
#include "app/command_ids.h"
#include "app/command_state.h"
#include "app/main_frame.h"
#include "document/tessaline_doc.h"
#include "views/card_commands_qt.h"
#include "views/category_bar.h"
#include "views/tessaline_view.h"

namespace tessaline {

namespace {

bool DocumentHasCards(const CommandContext& c) {
    return c.hasDocument && c.documentHasCards;
}

bool ListHasCards(const CommandContext& c) {
    return c.hasDocument && c.hasView && c.documentHasCards;
}

}  // namespace

CFrameFileCommands::CFrameFileCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile)
    : QObject(&frame), frame_(frame), ui_(ui), profile_(profile) {
    setObjectName(QStringLiteral("fileCommands"));
    frame_.SetCommandHandler(
        kCmdExportToText, [this] { ExportToText(); }, DocumentHasCards);
    frame_.SetCommandHandler(
        kCmdFilePrint, [this] { Print(); }, ListHasCards);
    frame_.SetCommandHandler(
        kCmdPrintPreview, [this] { PrintPreview(); }, ListHasCards);
}

void CFrameFileCommands::ExportToText() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    if (!doc)
        return;
    QStringList openDocuments;
    for (CChildFrame* child : frame_.Children())
        openDocuments << child->Document().PathName();
    OnExportToText(*doc, ui_, openDocuments);
}

void CFrameFileCommands::Print() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnFilePrint(*doc, *view, profile_, &frame_);
}

void CFrameFileCommands::PrintPreview() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnFilePrintPreview(*doc, *view, profile_, &frame_, frame_.CategoryBar());
}

}  // namespace tessaline
