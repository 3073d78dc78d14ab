#include "gui/views/card_commands_qt.h"

#include <filesystem>

#include <QMenu>
#include <QTreeView>

#include "core/cards/card.h"
#include "core/cards/categories.h"
#include "core/platform/profile.h"
#include "core/prefs/copy_status.h"
#include "core/prefs/date_format.h"
#include "core/prefs/preferences.h"
#include "core/views/export_command.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/generate_password_dialog.h"
#include "gui/prefs/secret_clipboard.h"
#include "gui/text/text_codec.h"
#include "gui/views/card_dialog.h"
#include "gui/views/print_cards.h"
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

void Changed(CTessalineNewDoc& doc, const QString& hint) {
    doc.SetModifiedFlag(true);
    doc.UpdateAllViews(hint);
}

CCard* RunNewCard(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                  const CardEditorFields& preset, const CardEditorRunner& editor) {
    const auto result = editor(preset);
    if (!result)
        return nullptr;
    const QString text = view.ShownCategory();
    CCard* card = AddNewCard(doc.Cards(), StoredText(text), *result, profile, CurrentCardTime());
    if (card == nullptr)
        return nullptr;
    Changed(doc, text);
    view.SelectCard(card);
    return card;
}

}  // namespace

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
    if (!CanAddCardsTo(text, ui))
        return nullptr;
    return RunNewCard(doc, view, profile, PresetForNewCard(text),
                      editor ? editor : RealCardEditor(ui, &view));
}

CCard* OnNewCardFromWebPage(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                            IProfile& profile, const QString& pageTitle, const QString& pageAddress,
                            const CardEditorRunner& editor) {
    const std::string text = SelectorText(view);
    // Where no category is shown the card would belong to no list.
    if (!CanAddCardsTo(text, ui))
        return nullptr;
    return RunNewCard(doc, view, profile,
                      PresetForWebPage(text, StoredText(pageTitle), StoredText(pageAddress)),
                      editor ? editor : RealCardEditor(ui, &view));
}

bool OnEditCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui, IProfile& profile,
                CCard* card, const CardEditorRunner& editor) {
    if (card == nullptr)
        card = view.SelectedCard();
    if (card == nullptr)
        return false;
    const auto result = (editor ? editor : RealCardEditor(ui, &view))(PresetForEdit(*card));
    if (!result || !ApplyCardEdit(*card, *result, profile, CurrentCardTime()))
        return false;
    Changed(doc, view.ShownCategory());
    view.SelectCard(card);
    return true;
}

bool OnDeleteCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui) {
    const QString text = view.ShownCategory();
    if (!DeleteCard(doc.Cards(), StoredText(text), view.SelectedCard(), ui))
        return false;
    Changed(doc, text);
    return true;
}

bool OnChangeCategory(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                      int command) {
    CCard* card = view.SelectedCard();
    const int target = ChangeCategoryTarget(command);
    if (ChangeCardCategory(doc.Cards(), card, target, ui) != MoveResult::Moved)
        return false;
    const QString targetName = DisplayText(CategoryDisplayName(target));
    doc.UpdateAllViews(targetName);
    view.ShowCategory(targetName);
    view.SelectCard(card);
    view.List()->setFocus();
    doc.SetModifiedFlag(true);
    return true;
}

namespace {

void TellCopied(const StatusMessage& status, const char* what, int clearSeconds) {
    if (status)
        status(QString::fromStdString(CopiedStatusText(what, clearSeconds)),
               CopiedStatusTimeoutMs(clearSeconds));
}

}  // namespace

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
    CCard* card = clipboard.Paste(doc.Cards(), StoredText(text), ui);
    if (card == nullptr)
        return nullptr;
    Changed(doc, text);
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
                            const std::function<void(int command)>& dispatch) {
    if (view.SelectedCard() == nullptr) {
        ui.Message(MessageRequest{card_messages::kNoCardSelected, MsgCaption::Application,
                                  MsgIcon::Information, MsgButtons::Ok});
        return nullptr;
    }
    auto* menu = new QMenu(&view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto add = [&](const char* text, int id) {
        QAction* action = menu->addAction(text);
        action->setData(id);
        QObject::connect(action, &QAction::triggered, menu, [dispatch, id] {
            if (dispatch)
                dispatch(id);
        });
        return action;
    };
    add("Copy Name", kCmdCopyName);
    add("Copy User ID", kCmdCopyUserId);
    add("Copy Password", kCmdCopyPasswordItem);
    add("Copy Note", kCmdCopyNote);
    menu->addSeparator();
    add("Copy Card", kCmdCopyCard);
    add("Paste Card", kCmdPasteCard)->setEnabled(pasteAvailable);
    menu->addSeparator();
    add("Use Password To Open .tse File", kCmdUsePasswordToOpen);
    return menu;
}

bool OnExportToText(CTessalineNewDoc& doc, IUserAnswers& ui, const QStringList& openDocuments) {
    std::vector<std::string> paths;
    for (const QString& path : openDocuments)
        paths.push_back(path.toStdString());
    // The document's own file, even when the caller did not name it.
    paths.push_back(doc.Model().PathName());
    // The chooser starts in the folder of the document's file.
    std::string proposed = doc.Model().Title();
    if (!doc.Model().PathName().empty())
        proposed =
            (std::filesystem::path(doc.Model().PathName()).parent_path() / proposed).string();
    return ExportToTextCommand(doc.Cards(), proposed, ui, paths);
}

bool UseGeneratedPassword(CTessalineNewView& view, IProfile& profile, const QString& text) {
    if (!SetCardPassword(view.SelectedCard(), StoredText(text), profile, CurrentCardTime()))
        return false;
    CCard* card = view.SelectedCard();
    // The card changed: a close or an automatic save must not lose it.
    Changed(view.Document(), view.ShownCategory());
    view.SelectCard(card);
    return true;
}

void OnGeneratePassword(QWidget* parent, IUserAnswers& ui, IProfile& profile,
                        CTessalineNewView* activeView, const StatusMessage& status) {
    const int seconds = ClearClipboardSeconds(profile);
    CGeneratePasswordDialog dialog(ui, SecretClipboard::Instance(), seconds, parent);
    QObject::connect(&dialog, &CGeneratePasswordDialog::PasswordCopied, &dialog,
                     [&status, seconds] { TellCopied(status, "Generated password", seconds); });
    if (activeView != nullptr) {
        dialog.SetActiveList(activeView->SelectedCard() != nullptr, activeView->ShownCategory());
        // The old password is not replaced without a word; No goes back to the dialog.
        dialog.confirmUse = [activeView, &ui] {
            return ConfirmPasswordReplace(activeView->SelectedCard(), ui);
        };
    }
    if (dialog.exec() != QDialog::Accepted || activeView == nullptr)
        return;
    UseGeneratedPassword(*activeView, profile, dialog.Password());
}

namespace {

PrintRequest RequestFor(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile) {
    const PrintFlags flags = LoadPrintFlags(profile);
    PrintRequest request;
    request.cards = &doc.Cards();
    request.selectorText = SelectorText(view);
    request.documentTitle = doc.Title();
    request.options = PrintOptions{flags.printNotes, flags.printAtm};
    return request;
}

}  // namespace

bool OnFilePrint(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                 QWidget* parent) {
    return RunPrintCommand(parent, RequestFor(doc, view, profile));
}

void OnFilePrintPreview(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                        QWidget* parent, QWidget* categoryBar) {
    RunPrintPreviewCommand(parent, RequestFor(doc, view, profile), categoryBar);
}

void OnFilePrintSetup(QWidget* parent) {
    RunPrintSetupCommand(parent);
}

std::optional<bool> CardCommandEnabled(int command, CTessalineNewView* activeView,
                                       bool pasteAvailable) {
    CardCommandContext context;
    context.hasView = activeView != nullptr;
    if (activeView != nullptr) {
        context.hasSelection = activeView->SelectedCard() != nullptr;
        context.selectorText = SelectorText(*activeView);
    }
    context.pasteAvailable = pasteAvailable;
    return IsCardCommandEnabled(command, context);
}

}  // namespace tessaline
