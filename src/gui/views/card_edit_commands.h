#pragma once
// The card commands of a card list, as the main window calls them: each gathers the
// user's input with the real dialogs, lets the core change the cards, then marks the
// document modified and has every view list again.

#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

#include "core/views/card_commands.h"

class QMenu;
class QWidget;

namespace tessaline {

class CCard;
class CTessalineNewDoc;
class CTessalineNewView;
class IProfile;
class IUserAnswers;

// Tells the status bar a text, for a time in milliseconds.
using StatusMessage = std::function<void(const QString& text, int timeoutMs)>;

// Runs the card editor on fields; nothing for Cancel. The default runs CCardDialog.
using CardEditorRunner =
    std::function<std::optional<CardEditorFields>(const CardEditorFields& fields)>;
CardEditorRunner RealCardEditor(IUserAnswers& ui, QWidget* parent);

// The card a view holds after Copy Card (it lives as long as the view).
CardClipboard& CardClipboardOf(CTessalineNewView& view);

// The cards of doc changed: it is marked modified and every view lists again, showing
// the category named hint.
void MarkCardsChanged(CTessalineNewDoc& doc, const QString& hint);
// Tells status that what was copied and when the clipboard forgets it.
void TellCopied(const StatusMessage& status, const char* what, int clearSeconds);

// New Card (32808, 1009).
CCard* OnNewCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                 IProfile& profile, const CardEditorRunner& editor = {});
// The login form of the page a new card is made from.
struct WebPageLogin {
    bool hasLoginForm = false;
    std::string typedUserId;
    // Reads the password typed into the page; called only when the user asks for it.
    std::function<std::string()> typedPassword;
};
// New card from the page the browser shows. With a login form on the page the user ID
// typed there is offered, and the password typed there goes into the card only when the
// user ticks "Take the password typed into the page".
CCard* OnNewCardFromWebPage(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                            IProfile& profile, const QString& pageTitle, const QString& pageAddress,
                            const CardEditorRunner& editor = {}, const WebPageLogin& login = {});
// Edit Card (32814, 32794), and a double click with the clicked card.
bool OnEditCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui, IProfile& profile,
                CCard* card = nullptr, const CardEditorRunner& editor = {});
// Delete Card (32809, 1010).
bool OnDeleteCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui);
// Change Category (32773 to 32792): the list then shows the target with the card selected.
bool OnChangeCategory(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                      CommandId command);
// Copy Name / User ID / Password / Note (143, 147, 144 and 32811, 32830, 145). After a
// copy, status hears what was copied and when the clipboard forgets it.
bool OnCopyField(CTessalineNewView& view, IProfile& profile, CardField field,
                 const StatusMessage& status = {});
// Copy Card (146): sets pasteAvailable.
bool OnCopyCard(CTessalineNewView& view, IProfile& profile, bool& pasteAvailable);
// Paste Card (154): clears pasteAvailable when pasted.
CCard* OnPasteCard(CTessalineNewDoc& doc, CTessalineNewView& view, IUserAnswers& ui,
                   bool& pasteAvailable);
// "Use Password To Open .tse File" (158): hands the path to openDocument.
bool OnUsePasswordToOpen(CTessalineNewView& view, IUserAnswers& ui,
                         const std::function<void(const QString& path)>& openDocument);
// The list's context menu. Without a selected card the user is told so and nothing is
// returned; otherwise the menu, whose items call dispatch with their command id. The
// caller shows it with popup() or exec() at globalPos + (50, 0).
QMenu* BuildCardContextMenu(CTessalineNewView& view, IUserAnswers& ui, bool pasteAvailable,
                            const std::function<void(CommandId command)>& dispatch);

// The enabled state of a card command for the active list (nothing for other commands).
std::optional<bool> CardCommandEnabled(CommandId command, CTessalineNewView* activeView,
                                       bool pasteAvailable);

}  // namespace tessaline
