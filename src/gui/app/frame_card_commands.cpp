#include "gui/app/frame_card_commands.h"

#include <QDesktopServices>
#include <QMdiArea>
#include <QMenu>
#include <QStatusBar>
#include <QUrl>

#include "core/cards/categories.h"
#include "core/cards/one_time_code.h"
#include "core/browser/address_to_open.h"
#include "core/commands/command_ids.h"
#include "core/views/card_commands.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/text/text_codec.h"
#include "gui/views/card_edit_commands.h"
#include "gui/views/one_time_code_commands.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

namespace {

// The context menu opens this far to the right of the click.
constexpr int kContextMenuOffset = 50;

}  // namespace

CFrameCardCommands::CFrameCardCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile,
                                       std::function<bool(const QString& address)> openAddress)
    : QObject(&frame),
      frame_(frame),
      ui_(ui),
      profile_(profile),
      openAddress_(std::move(openAddress)) {
    if (!openAddress_) {
        openAddress_ = [](const QString& address) {
            return QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode));
        };
    }
    setObjectName(QStringLiteral("cardCommands"));
    CommandRouter& commands = frame_.Commands();
    commands.Bind(CommandId::NewCard, this, &CFrameCardCommands::NewCard);
    commands.Bind(CommandId::ToolAddCard, this, &CFrameCardCommands::NewCard);
    commands.Bind(CommandId::EditCard, this, &CFrameCardCommands::EditCard);
    commands.Bind(CommandId::ToolUpdateCard, this, &CFrameCardCommands::EditCard);
    commands.Bind(CommandId::DeleteCard, this, &CFrameCardCommands::DeleteCard);
    commands.Bind(CommandId::ToolDeleteCard, this, &CFrameCardCommands::DeleteCard);
    for (const ChangeCategoryItem& item : kChangeCategoryMenu)
        commands.Bind(item.command, this, &CFrameCardCommands::ChangeCategory);
    for (CommandId command :
         {CommandId::CopyPassword, CommandId::ToolCopyPassword, CommandId::CopyName,
          CommandId::CopyUserId, CommandId::CopyPasswordItem, CommandId::CopyNote,
          CommandId::CopyAddress})
        commands.Bind(command, this, &CFrameCardCommands::CopyField);
    commands.Bind(CommandId::CopyCard, this, &CFrameCardCommands::CopyCard);
    commands.Bind(CommandId::PasteCard, this, &CFrameCardCommands::PasteCard);
    commands.Bind(CommandId::UsePasswordToOpen, this, &CFrameCardCommands::UsePasswordToOpen);
    commands.Bind(CommandId::CopyOneTimeCode, this, &CFrameCardCommands::CopyOneTimeCode);
    commands.Bind(CommandId::OpenAddress, this, &CFrameCardCommands::OpenAddress);
    // The card Copy Card holds is the group's, and Paste Card's rule reads it.
    commands.AddFacts([this](CommandContext& c) { c.pasteAvailable = pasteAvailable_; });
    commands.AddFacts([this](CommandContext& c) {
        const CTessalineNewView* view = frame_.ActiveView();
        const CCard* card = view ? view->SelectedCard() : nullptr;
        c.selectedCardHasOneTimeCode = card != nullptr && HasOtpText(card->OtpUri());
    });
    connect(&frame_, &CMainFrame::CardListContextMenu, this, &CFrameCardCommands::ShowContextMenu);
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
                                       [this](CommandId command) { frame_.OnCommand(command); });
    if (menu == nullptr)
        return;
    lastMenu_ = menu;
    menu->popup(globalPos + QPoint(kContextMenuOffset, 0));
}

void CFrameCardCommands::NewCard() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnNewCard(*doc, *view, ui_, profile_);
}

void CFrameCardCommands::EditCard() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnEditCard(*doc, *view, ui_, profile_);
}

void CFrameCardCommands::DeleteCard() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (!doc || !view)
        return;
    // A card in the recycle bin can only go for good, after its own question.
    if (view->ShownCategory() == QString::fromLatin1(kRecycleBin.data(), kRecycleBin.size())) {
        frame_.OnCommand(CommandId::DeletePermanently);
        return;
    }
    OnDeleteCard(*doc, *view, ui_);
}

void CFrameCardCommands::ChangeCategory(CommandId command) {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnChangeCategory(*doc, *view, ui_, command);
}

void CFrameCardCommands::CopyField(CommandId command) {
    CTessalineNewView* view = frame_.ActiveView();
    if (view == nullptr)
        return;
    CardField field = CardField::Password;
    if (command == CommandId::CopyName)
        field = CardField::Name;
    else if (command == CommandId::CopyUserId)
        field = CardField::UserId;
    else if (command == CommandId::CopyNote)
        field = CardField::Note;
    else if (command == CommandId::CopyAddress)
        field = CardField::Address;
    OnCopyField(*view, profile_, field, [this](const QString& text, int timeoutMs) {
        frame_.statusBar()->showMessage(text, timeoutMs);
    });
}

void CFrameCardCommands::CopyOneTimeCode() {
    if (CTessalineNewView* view = frame_.ActiveView())
        OnCopyOneTimeCode(*view, profile_, ui_, [this](const QString& text, int timeoutMs) {
            frame_.statusBar()->showMessage(text, timeoutMs);
        });
}

void CFrameCardCommands::CopyCard() {
    if (CTessalineNewView* view = frame_.ActiveView())
        OnCopyCard(*view, profile_, pasteAvailable_);
}

void CFrameCardCommands::PasteCard() {
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    CTessalineNewView* view = frame_.ActiveView();
    if (doc && view)
        OnPasteCard(*doc, *view, ui_, pasteAvailable_);
}

void CFrameCardCommands::UsePasswordToOpen() {
    CTessalineNewView* view = frame_.ActiveView();
    if (view == nullptr)
        return;
    OnUsePasswordToOpen(*view, ui_, [this](const QString& path) { frame_.OpenDocumentFile(path); });
}

void CFrameCardCommands::OpenAddress() {
    CTessalineNewView* view = frame_.ActiveView();
    const CCard* card = view ? view->SelectedCard() : nullptr;
    if (card == nullptr)
        return;
    constexpr int kStatusMs = 5000;
    if (card->Address().empty()) {
        frame_.statusBar()->showMessage(QString::fromUtf8(kNoAddressToOpen), kStatusMs);
        return;
    }
    const std::optional<std::string> address =
        AddressToOpen(DisplayText(card->Address()).toStdString());
    if (!address) {
        frame_.statusBar()->showMessage(QString::fromUtf8(kAddressNotOpened), kStatusMs);
        return;
    }
    openAddress_(QString::fromStdString(*address));
}

}  // namespace tessaline
