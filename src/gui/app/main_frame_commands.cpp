// The main window's own commands: the document files, the recent files, the edit commands
// of the focused text field, Find, the bars, the child windows and the panes.

#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <array>

#include "core/platform/user_answers.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/app/text_field_commands.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/category_bar.h"
#include "gui/views/print_cards.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

void CMainFrame::BindOwnCommands() {
    commands_.Bind(CommandId::FileNew, this, &CMainFrame::NewDocument);
    commands_.Bind(CommandId::FileOpen, this, &CMainFrame::FileOpen);
    commands_.Bind(CommandId::FileClose, this, &CMainFrame::CloseActiveDocument);
    commands_.Bind(CommandId::FileSave, this, &CMainFrame::SaveActiveDocument);
    commands_.Bind(CommandId::FileSaveAs, this, &CMainFrame::SaveActiveDocumentAs);
    commands_.Bind(CommandId::EncryptOnSave, this, &CMainFrame::EncryptActiveDocument);
    commands_.Bind(CommandId::SetPassword, this, &CMainFrame::EncryptActiveDocument);
    for (int i = 0; i < kRecentFileCount; ++i)
        commands_.Bind(RecentFileCommand(i), [this, i] { OpenRecentFile(i); });
    commands_.Bind(CommandId::AppExit, this, &QWidget::close);
    commands_.Bind(CommandId::FilePrintSetup, [this] { RunPrintSetupCommand(this); });
    for (CommandId command : {CommandId::EditUndo, CommandId::EditRedo, CommandId::EditCut,
                              CommandId::EditPaste})
        commands_.Bind(command,
                       [this, command] { RunTextFieldCommand(command, FocusedTextField()); });
    // Copy copies a text field's selection; in the card list, the selected card's password.
    commands_.Bind(CommandId::EditCopy, [this] {
        if (QWidget* field = FocusedTextField())
            RunTextFieldCommand(CommandId::EditCopy, field);
        else if (CurrentCommandContext().cardListFocused)
            commands_.Run(CommandId::CopyPasswordItem);
    });
    commands_.Bind(CommandId::EditFind, categoryBar_, &CCategoryBar::FocusSearchBox);
    commands_.Bind(CommandId::ViewToolbar, this, &CMainFrame::ToggleToolBar);
    commands_.Bind(CommandId::ViewStatusBar, this, &CMainFrame::ToggleStatusBar);
    commands_.Bind(CommandId::WindowArrange, this, &CMainFrame::ArrangeIcons);
    commands_.Bind(CommandId::NextPane, this, &CMainFrame::SwitchPane);
    commands_.Bind(CommandId::PrevPane, this, &CMainFrame::SwitchPane);
}

void CMainFrame::FileOpen() {
    FileDialogRequest request;
    request.defaultExtension = "tse";
    request.filter = "Encrypted Data (*.tse)|*.tse|Non Encrypted Data (*.tsf)|*.tsf||";
    request.overwritePrompt = true;
    request.mustExist = true;
    const std::optional<FileDialogAnswer> answer = ui_.OpenFileName(request);
    if (!answer || answer->path.empty())
        return;
    OpenDocumentFile(QString::fromStdString(answer->path));
}

void CMainFrame::CloseActiveDocument() {
    if (CChildFrame* child = ActiveChild())
        child->close();
}

void CMainFrame::SaveActiveDocument() {
    if (CTessalineNewDoc* doc = ActiveDocument())
        doc->OnFileSave();
}

void CMainFrame::SaveActiveDocumentAs() {
    if (CTessalineNewDoc* doc = ActiveDocument())
        doc->OnFileSaveAs();
}

void CMainFrame::EncryptActiveDocument() {
    if (CTessalineNewDoc* doc = ActiveDocument())
        doc->OnEncryptOnSave();
}

void CMainFrame::ToggleToolBar() {
    toolBar_->setVisible(toolBar_->isHidden());
}

void CMainFrame::ToggleStatusBar() {
    statusBar()->setVisible(statusBar()->isHidden());
}

void CMainFrame::ArrangeIcons() {
    // Minimised child windows line up along the bottom edge, left to right.
    int x = 0;
    int y = mdi_->viewport()->height();
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize size = w->size();
        if (x > 0 && x + size.width() > mdi_->viewport()->width()) {
            x = 0;
            y -= size.height();
        }
        w->move(x, y - size.height());
        x += size.width();
    }
}

void CMainFrame::SwitchPane(CommandId command) {
    CTessalineNewView* view = ActiveView();
    if (view == nullptr)
        return;
    // The panes in their order: the category bar, then the card list.
    const std::array<QWidget*, 2> panes{categoryBar_, view->List()};
    const std::array<QWidget*, 2> focusTargets{categoryBar_->Selector(), view->List()};
    const QWidget* focus = QApplication::focusWidget();
    int current = -1;
    for (int i = 0; i < static_cast<int>(panes.size()); ++i) {
        if (focus != nullptr && (focus == panes[i] || panes[i]->isAncestorOf(focus)))
            current = i;
    }
    const int count = static_cast<int>(panes.size());
    const int step = command == CommandId::PrevPane ? count - 1 : 1;
    // From outside both panes, Next goes to the first and Previous to the last.
    const int next =
        current < 0 ? (command == CommandId::PrevPane ? count - 1 : 0) : (current + step) % count;
    focusTargets[static_cast<std::size_t>(next)]->setFocus(Qt::ShortcutFocusReason);
}

}  // namespace tessaline
