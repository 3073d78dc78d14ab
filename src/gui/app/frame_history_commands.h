#pragma once
// The main window's commands on what a document keeps of its cards' past: Edit > Undo and
// Redo (the focused text field's own while one has the keys, else the document's card
// changes), the recycle bin's Restore Card, Delete Permanently and Empty Recycle Bin, and
// File > Properties... with the number of earlier versions each card keeps.

#include <QObject>

namespace tessaline {

class CMainFrame;
class IProfile;
class IUserAnswers;

class CFrameHistoryCommands : public QObject {
    Q_OBJECT
public:
    CFrameHistoryCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile);

private:
    void Undo();
    void Redo();
    void RestoreCard();
    void DeletePermanently();
    void EmptyRecycleBin();
    void Properties();
    // The cards changed by an undo or redo: the lists show them again, with the card that
    // was selected still selected where it is still listed.
    void RefreshAfterUndo();

    CMainFrame& frame_;
    IUserAnswers& ui_;
    IProfile& profile_;
};

}  // namespace tessaline
