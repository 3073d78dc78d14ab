#include "gui/app/frame_card_commands.h"

#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>

#include "core/commands/command_ids.h"
#include "core/views/card_commands.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_commands_qt.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

namespace {

// The context menu opens this far to the right of the click.
constexpr int kContextMenuOffset = 50;

}  // namespace

CFrameCardCommands::CFrameCardCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile)
    : QObject(&frame), frame_(frame), ui_(ui), profile_(profile) {
    setObjectName(QStringLiteral("cardCommands"));
    Add(kCmdNewCard, &CFrameCardCommands::NewCard);
    Add(kCmdToolAddCard, &CFrameCardCommands::NewCard);
    Add(kCmdEditCard, &CFrameCardCommands::EditCard);
    Add(kCmdToolUpdateCard, &CFrameCardCommands::EditCard);
    Add(kCmdDeleteCard, &CFrameCardCommands::DeleteCard);
    Add(kCmdToolDeleteCard, &CFrameCardCommands::DeleteCard);
    for (const ChangeCategoryItem& item : kChangeCategoryMenu)
        Add(item.command, &CFrameCardCommands::ChangeCategory);
    for (int command : {static_cast<int>(kCmdCopyPassword), static_cast<int>(kCmdToolCopyPassword),
                        kCmdCopyName, kCmdCopyUserId, kCmdCopyPasswordItem, kCmdCopyNote})
        Add(command, &CFrameCardCommands::CopyField);
    Add(kCmdCopyCard, &CFrameCardCommands::CopyCard);
    Add(kCmdPasteCard, &CFrameCardCommands::PasteCard);
    Add(kCmdUsePasswordToOpen, &CFrameCardCommands::UsePasswordToOpen);
    connect(&frame_, &CMainFrame::CardListContextMenu, this, &CFrameCardCommands::ShowContextMenu);
}

void CFrameCardCommands::Add(int command, void (CFrameCardCommands::*work)(int command)) {
    frame_.SetCommandHandler(
        command, [this, work, command] { (this->*work)(command); },
        [this, command](const CommandContext&) {
            return CardCommandEnabled(command, frame_.ActiveView(), pasteAvailable_)
                .value_or(false);
        });
}

void CFrameCardCommands::ShowContextMenu(CTessalineNewView* view, const QPoint& globalPos) {
    if (view == nullptr)
        return;
    // The menu's commands act on the active list: the list clicked becomes it.
    for (CChildFrame* child : frame_.Children()) {
        if (child->View() == view && child != frame_.ActiveChild())
            frame_.MdiArea()->setActiveSubWindow(child);
    }
    QMenu* menu = BuildCardContextMenu(*view, ui_, pasteAvailable_,
                                       [this](int command) { frame_.OnCommand(command); });
    if (menu == nullptr)
        return;
    lastMenu_ = menu;
    menu->popup(globalPos + QPoint(kContextMenuOffset, 0));
}

void CFrameCardCommands::NewCard(int) {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnNewCard(*doc, *view, ui_, profile_);
}

void CFrameCardCommands::EditCard(int) {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnEditCard(*doc, *view, ui_, profile_);
}

void CFrameCardCommands::DeleteCard(int) {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnDeleteCard(*doc, *view, ui_);
}

void CFrameCardCommands::ChangeCategory(int command) {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnChangeCategory(*doc, *view, ui_, command);
}

void CFrameCardCommands::CopyField(int command) {
    CTessalineNewView* view = frame_.ActiveView();
    if (view == nullptr)
        return;
    CardField field = CardField::Password;
    if (command == kCmdCopyName)
        field = CardField::Name;
    else if (command == kCmdCopyUserId)
        field = CardField::UserId;
    else if (command == kCmdCopyNote)
        field = CardField::Note;
    OnCopyField(*view, profile_, field, [this](const QString& text, int timeoutMs) {
        frame_.statusBar()->showMessage(text, timeoutMs);
    });
}

void CFrameCardCommands::CopyCard(int) {
    if (CTessalineNewView* view = frame_.ActiveView())
        OnCopyCard(*view, profile_, pasteAvailable_);
}

void CFrameCardCommands::PasteCard(int) {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnPasteCard(*doc, *view, ui_, pasteAvailable_);
}

void CFrameCardCommands::UsePasswordToOpen(int) {
    CTessalineNewView* view = frame_.ActiveView();
    if (view == nullptr)
        return;
    OnUsePasswordToOpen(*view, ui_, [this](const QString& path) { frame_.OpenDocumentFile(path); });
}

}  // namespace tessaline
