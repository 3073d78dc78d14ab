#include "gui/app/frame_file_commands.h"

#include "core/base/secure_wipe.h"
#include "core/cards/categories.h"
#include "core/commands/command_ids.h"
#include "core/platform/user_answers.h"
#include "core/prefs/date_format.h"
#include "core/views/card_changes.h"
#include "core/views/csv_import_command.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_output_commands.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

CFrameFileCommands::CFrameFileCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile)
    : QObject(&frame), frame_(frame), ui_(ui), profile_(profile) {
    setObjectName(QStringLiteral("fileCommands"));
    CommandRouter& commands = frame_.Commands();
    commands.Bind(CommandId::FileImportCsv, this, &CFrameFileCommands::ImportCsv);
    commands.Bind(CommandId::ExportToText, this, &CFrameFileCommands::ExportToText);
    commands.Bind(CommandId::FilePrint, this, &CFrameFileCommands::Print);
    commands.Bind(CommandId::PrintPreview, this, &CFrameFileCommands::PrintPreview);
}

void CFrameFileCommands::ImportCsv() {
    std::optional<CsvCardsChosen> chosen = AskForCsvCards(ui_, CurrentCardTime());
    if (!chosen)
        return;
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    // An open file that holds something: the user says whether the cards join it. A new,
    // empty document (the welcome panel's import makes one) simply takes them.
    if (doc != nullptr && (doc->HasCards() || !doc->PathName().isEmpty())) {
        switch (AskImportTarget(ui_, *chosen, doc->Title().toStdString())) {
            case ImportTarget::OpenFile:
                break;
            case ImportTarget::NewFile:
                doc = nullptr;
                break;
            case ImportTarget::Cancel:
                for (CCard& card : chosen->cards)
                    card.ForEachText([](std::string& text) { SecureWipe(text); });
                return;
        }
    }
    if (doc == nullptr && frame_.NewDocument() != nullptr)
        doc = frame_.ActiveDocument();
    if (doc == nullptr)
        return;
    const std::string message = CsvImportedMessage(*chosen);
    // The list shows the one category the cards went to, or all of them.
    const std::vector<std::string> categories = CategoryCountLines(CountPerCategory(chosen->cards));
    const QString shown = QString::fromStdString(
        categories.size() == 1 ? CategoryDisplayName(chosen->cards.front().Category())
                               : std::string(kShowAll));
    // One action: Undo takes the whole import back.
    ImportCards(doc->Model(), chosen->cards, ChangeTimeNow());
    // The user decides when to save: the cards are in the document, not yet in its file.
    doc->SetModifiedFlag(true);
    doc->UpdateAllViews(shown);
    Tell(ui_, message, MsgCaption::Application, MsgIcon::Information);
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
