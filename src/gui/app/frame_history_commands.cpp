#include "gui/app/frame_history_commands.h"

#include <algorithm>
#include <vector>

#include "core/cards/card_versions.h"
#include "core/commands/command_ids.h"
#include "core/commands/undo_menu_text.h"
#include "core/document/document_model.h"
#include "core/views/card_changes.h"
#include "core/views/history_size_setting.h"
#include "core/views/recycle_bin_questions.h"
#include "gui/app/main_frame.h"
#include "gui/app/text_field_commands.h"
#include "gui/document/file_properties_dialog.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_edit_commands.h"
#include "gui/views/card_table_model.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

namespace {

// The name of the action after "Undo " or "Redo " in the stack's text.
std::string ActionName(const std::string& text, std::string_view prefix) {
    if (text.size() <= prefix.size() || text.compare(0, prefix.size(), prefix) != 0)
        return {};
    return text.substr(prefix.size());
}

}  // namespace

CFrameHistoryCommands::CFrameHistoryCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile)
    : QObject(&frame), frame_(frame), ui_(ui), profile_(profile) {
    setObjectName(QStringLiteral("historyCommands"));
    CommandRouter& commands = frame_.Commands();
    commands.Bind(CommandId::EditUndo, this, &CFrameHistoryCommands::Undo);
    commands.Bind(CommandId::EditRedo, this, &CFrameHistoryCommands::Redo);
    commands.Bind(CommandId::RestoreCard, this, &CFrameHistoryCommands::RestoreCard);
    commands.Bind(CommandId::DeletePermanently, this, &CFrameHistoryCommands::DeletePermanently);
    commands.Bind(CommandId::EmptyRecycleBin, this, &CFrameHistoryCommands::EmptyRecycleBin);
    commands.Bind(CommandId::FileProperties, this, &CFrameHistoryCommands::Properties);
    // What Undo and Redo would do, and whether the bin has cards, are the active
    // document's.
    commands.AddFacts([this](CommandContext& c) {
        const CTessalineNewDoc* doc = frame_.ActiveDocument();
        if (doc == nullptr || doc->IsLocked())
            return;
        const CardUndoStack& stack = doc->Model().CardUndo();
        if (stack.CanUndo())
            c.undoAction = ActionName(stack.UndoText(), "Undo ");
        if (stack.CanRedo())
            c.redoAction = ActionName(stack.RedoText(), "Redo ");
        c.recycledCards = doc->Cards().RecycleBin().Count();
    });
}

void CFrameHistoryCommands::RefreshAfterUndo() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc == nullptr || view == nullptr)
        return;
    const CCard* selected = view->SelectedCard();
    const std::vector<CCard*> before = view->Model()->Rows();
    doc->UpdateAllViews(view->ShownCategory());
    // A card that came back into the list is the one the user looks for; otherwise the
    // selection stays where it was.
    for (const CCard* row : view->Model()->Rows()) {
        if (std::find(before.begin(), before.end(), row) == before.end()) {
            selected = row;
            break;
        }
    }
    view->SelectCard(selected);
}

void CFrameHistoryCommands::Undo() {
    // A text field with the keys keeps its own undo.
    if (QWidget* field = frame_.FocusedTextField()) {
        RunTextFieldCommand(CommandId::EditUndo, field);
        return;
    }
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    if (doc != nullptr && doc->Model().UndoCardChange())
        RefreshAfterUndo();
}

void CFrameHistoryCommands::Redo() {
    if (QWidget* field = frame_.FocusedTextField()) {
        RunTextFieldCommand(CommandId::EditRedo, field);
        return;
    }
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    if (doc != nullptr && doc->Model().RedoCardChange())
        RefreshAfterUndo();
}

void CFrameHistoryCommands::RestoreCard() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc == nullptr || view == nullptr)
        return;
    if (RestoreFromRecycleBin(doc->Model(), view->SelectedCard()))
        MarkCardsChanged(*doc, view->ShownCategory());
}

void CFrameHistoryCommands::DeletePermanently() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc == nullptr || view == nullptr)
        return;
    if (DeletePermanentlyAsking(doc->Model(), view->SelectedCard(), ui_, ChangeTimeNow()))
        MarkCardsChanged(*doc, view->ShownCategory());
}

void CFrameHistoryCommands::EmptyRecycleBin() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    if (doc == nullptr)
        return;
    if (EmptyRecycleBinAsking(doc->Model(), ui_, ChangeTimeNow()) > 0) {
        CTessalineNewView* view = frame_.ActiveView();
        if (view != nullptr)
            MarkCardsChanged(*doc, view->ShownCategory());
        else
            doc->SetModifiedFlag(true);
    }
}

void CFrameHistoryCommands::Properties() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    if (doc == nullptr || doc->IsLocked())
        return;
    CFilePropertiesDialog dialog(&frame_);
    dialog.SetHistorySize(doc->Cards().HistorySize());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (ChangeHistorySize(doc->Cards(), dialog.HistorySize(), ui_))
        doc->SetModifiedFlag(true);
}

}  // namespace tessaline
