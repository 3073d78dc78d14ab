#pragma once
// The card commands of the main window: New, Edit, Delete, Change Category, the Copy
// commands, Open Address, Copy Card / Paste Card and "Use Password To Open .tse File", reached from
// the menus, the toolbar, the accelerators, a double click and the card list's context menu. Each
// works on the active card list.

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>

#include "core/commands/command_ids.h"

namespace tessaline {

class CMainFrame;
class CTessalineNewView;
class IProfile;
class IUserAnswers;

class CFrameCardCommands : public QObject {
    Q_OBJECT
public:
    // Gives the frame's card commands their work; lives as a child of the frame.
    // openAddress hands Open Address's address on (empty: to the desktop's web browser).
    CFrameCardCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile,
                       std::function<bool(const QString& address)> openAddress = {});

    // Set by Copy Card, cleared by Paste Card; shared by every card list of the window.
    bool PasteAvailable() const { return pasteAvailable_; }
    // The context menu last opened (nullptr once it is gone).
    QMenu* LastContextMenu() const { return lastMenu_; }

private:
    void ShowContextMenu(CTessalineNewView* view, const QPoint& globalPos);

    void NewCard();
    void EditCard();
    void DeleteCard();
    void ChangeCategory(CommandId command);
    void CopyField(CommandId command);
    void CopyOneTimeCode();
    void CopyCard();
    void PasteCard();
    void UsePasswordToOpen();
    void OpenAddress();

    CMainFrame& frame_;
    IUserAnswers& ui_;
    IProfile& profile_;
    std::function<bool(const QString& address)> openAddress_;
    bool pasteAvailable_ = false;
    QPointer<QMenu> lastMenu_;
};

}  // namespace tessaline
