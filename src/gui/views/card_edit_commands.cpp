#include "gui/views/card_edit_commands.h"

#include <QMenu>
#include <QTreeView>

#include "core/cards/card.h"
#include "core/cards/categories.h"
#include "core/cards/one_time_code.h"
#include "core/commands/command_table.h"
#include "core/commands/menu_layout.h"
#include "core/platform/profile.h"
#include "core/prefs/copy_status.h"
#include "core/prefs/date_format.h"
#include "core/prefs/preferences.h"
#include "core/views/card_changes.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/secret_clipboard.h"
#include "gui/text/text_codec.h"
#include "gui/views/card_dialog.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

namespace {

// Holds a view's clipboard card as a child of the view, so it goes with the view.
class CardClipboardHolder : public QObject {
public:
    explicit CardClipboardHolder(QObject* parent) : QObject(parent) {
        setObjectName("CardClipboard");
    }
    CardClipboard clipboard;
};

std::string SelectorText(CTessalineNewView& view) {
    return StoredText(view.ShownCategory());
}

CCard* RunNewCard(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                  const CardEditorFields& preset, const CardEditorRunner& editor) {
    const auto result = editor(preset);
    if (!result)
        return nullptr;
    const QString text = view.ShownCategory();
    // Where the list shows no one category, the editor asked which one.
    const std::string category = result->chooseCategory ? result->categoryName : StoredText(text);
    CCard* card = NewCard(doc.Model(), category, *result, profile, ChangeTimeNow());
    if (card == nullptr)
        return nullptr;
    MarkCardsChanged(doc, text);
    view.SelectCard(card);
    return card;
}

}  // namespace

void MarkCardsChanged(CTessalineNewDoc& doc, const QString& hint) {
    doc.SetModifiedFlag(true);
    doc.UpdateAllViews(hint);
}

void TellCopied(const StatusMessage& status, const char* what, int clearSeconds) {
    if (status)
        status(QString::fromStdString(CopiedStatusText(what, clearSeconds)),
               CopiedStatusTimeoutMs(clearSeconds));
}

CardEditorRunner RealCardEditor(IUserAnswers& ui, QWidget* parent) {
    return [&ui, parent](const CardEditorFields& fields) -> std::optional<CardEditorFields> {
        CCardDialog dialog(ui, parent);
        dialog.SetFields(fields);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.Fields();
    };
}

CardClipboard& CardClipboardOf(CTessalineNewView& view) {
    auto* holder =
        view.findChild<CardClipboardHolder*>("CardClipboard", Qt::FindDirectChildrenOnly);
    if (holder == nullptr)
        holder = new CardClipboardHolder(&view);
    return holder->clipboard;
}

CCard* OnNewCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                 IProfile& profile, const CardEditorRunner& editor) {
    const std::string text = SelectorText(view);
    if (!NewCardAsksCategory(text) && !CanAddCardsTo(text, ui))
        return nullptr;
    return RunNewCard(doc, view, profile, PresetForNewCard(text),
                      editor ? editor : RealCardEditor(ui, &view));
}

CCard* OnNewCardFromWebPage(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                            IProfile& profile, const QString& pageTitle, const QString& pageAddress,
                            const CardEditorRunner& editor, const WebPageLogin& login) {
    const std::string text = SelectorText(view);
    // Where no category is shown the card would belong to no list.
    if (!CanAddCardsTo(text, ui))
        return nullptr;
    const CardEditorRunner run = editor ? editor : RealCardEditor(ui, &view);
    const CardEditorRunner withPagePassword =
        [&](const CardEditorFields& fields) -> std::optional<CardEditorFields> {
        std::optional<CardEditorFields> result = run(fields);
        if (result && result->offerPagePassword && result->takePagePassword && login.typedPassword)
            result->password = login.typedPassword();
        return result;
    };
    return RunNewCard(doc, view, profile,
                      PresetForWebPage(text, StoredText(pageTitle), StoredText(pageAddress),
                                       login.hasLoginForm, login.typedUserId),
                      withPagePassword);
}

bool OnEditCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui, IProfile& profile,
                CCard* card, const CardEditorRunner& editor) {
    if (card == nullptr)
        card = view.SelectedCard();
    if (card == nullptr)
        return false;
    // The card being edited is the selected one (a lock that closes the editor keeps
    // what it held for that card).
    if (view.SelectedCard() != card)
        view.SelectCard(card);
    const auto result = (editor ? editor : RealCardEditor(ui, &view))(PresetForEdit(*card));
    if (!result)
        return false;
    // Restore on the History page: that version becomes the card, the card as it was goes
    // to the history.
    const bool changed =
        result->restoreVersion
            ? RestoreEarlierVersion(doc.Model(), card,
                                    static_cast<std::size_t>(*result->restoreVersion), profile,
                                    ChangeTimeNow())
            : EditCard(doc.Model(), *card, *result, profile, ChangeTimeNow());
    if (!changed)
        return false;
    MarkCardsChanged(doc, view.ShownCategory());
    view.SelectCard(card);
    return true;
}

bool OnDeleteCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui) {
    const QString text = view.ShownCategory();
    // Into the recycle bin, from which it can be restored.
    if (!DeleteCardToBin(doc.Model(), StoredText(text), view.SelectedCard(), ui, ChangeTimeNow()))
        return false;
    MarkCardsChanged(doc, text);
    return true;
}

bool OnChangeCategory(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                      CommandId command) {
    CCard* card = view.SelectedCard();
    const int target = ChangeCategoryTarget(command);
    if (MoveCard(doc.Model(), card, target, ui, ChangeTimeNow()) != MoveResult::Moved)
        return false;
    const QString targetName = DisplayText(CategoryDisplayName(target));
    doc.UpdateAllViews(targetName);
    view.ShowCategory(targetName);
    view.SelectCard(card);
    view.List()->setFocus();
    doc.SetModifiedFlag(true);
    return true;
}

bool OnCopyField(CTessalineNewView& view, IProfile& profile, CardField field,
                 const StatusMessage& status) {
    const auto text = FieldText(view.SelectedCard(), field);
    if (!text)
        return false;
    const int seconds = ClearClipboardSeconds(profile);
    if (!SecretClipboard::Instance().Put(DisplayText(*text), seconds))
        return false;
    TellCopied(status, CardFieldName(field), seconds);
    return true;
}

bool OnCopyCard(CTessalineNewView& view, IProfile& profile, bool& pasteAvailable) {
    if (!CardClipboardOf(view).Copy(view.SelectedCard(), profile, CurrentCardTime()))
        return false;
    pasteAvailable = true;
    return true;
}

CCard* OnPasteCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                   bool& pasteAvailable) {
    CardClipboard& clipboard = CardClipboardOf(view);
    if (!clipboard.HasCard())
        return nullptr;
    const QString text = view.ShownCategory();
    CCard* card = PasteCard(doc.Model(), clipboard, StoredText(text), ui, ChangeTimeNow());
    if (card == nullptr)
        return nullptr;
    MarkCardsChanged(doc, text);
    view.SelectCard(card);
    pasteAvailable = false;
    return card;
}

bool OnUsePasswordToOpen(CTessalineNewView& view, IUserAnswers& ui,
                         const std::function<void(const QString& path)>& openDocument) {
    const auto path = DataFileToOpen(view.SelectedCard(), ui);
    if (!path)
        return false;
    if (openDocument)
        openDocument(DisplayText(*path));
    return true;
}

QMenu* BuildCardContextMenu(CTessalineNewView& view, IUserAnswers& ui, bool pasteAvailable,
                            const std::function<void(CommandId command)>& dispatch) {
    if (view.SelectedCard() == nullptr) {
        ui.Message(MessageRequest{card_messages::kNoCardSelected, MsgCaption::Application,
                                  MsgIcon::Information, MsgButtons::Ok});
        return nullptr;
    }
    auto* menu = new QMenu(&view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    CommandContext context;
    context.hasView = true;
    context.hasSelectedCard = true;
    context.selectorText = SelectorText(view);
    context.pasteAvailable = pasteAvailable;
    context.selectedCardHasOneTimeCode = HasOtpText(view.SelectedCard()->OtpUri());
    // A card of the recycle bin has its own menu: back to its category, or gone for good.
    const bool recycled = context.selectorText == kRecycleBin;
    for (const MenuEntry& entry :
         recycled ? RecycledCardContextMenuLayout() : CardContextMenuLayout()) {
        if (entry.kind != MenuEntryKind::Command) {
            menu->addSeparator();
            continue;
        }
        const CommandId id = entry.command;
        // The menu names the commands; their keys are the window's.
        QAction* action =
            menu->addAction(QString::fromStdString(std::string(FindCommand(id)->label)));
        action->setData(ToInt(id));
        action->setEnabled(IsCommandEnabled(id, context));
        QObject::connect(action, &QAction::triggered, menu, [dispatch, id] {
            if (dispatch)
                dispatch(id);
        });
    }
    return menu;
}

std::optional<bool> CardCommandEnabled(CommandId command, CTessalineNewView* activeView,
                                       bool pasteAvailable) {
    CardCommandContext context;
    context.hasView = activeView != nullptr;
    if (activeView != nullptr) {
        context.hasSelection = activeView->SelectedCard() != nullptr;
        context.selectionHasOneTimeCode =
            context.hasSelection && HasOtpText(activeView->SelectedCard()->OtpUri());
        context.selectorText = SelectorText(*activeView);
    }
    context.pasteAvailable = pasteAvailable;
    return IsCardCommandEnabled(command, context);
}

}  // namespace tessaline
