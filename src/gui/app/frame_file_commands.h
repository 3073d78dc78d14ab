#pragma once
// The File menu's commands on the active document that the frame hands on: "Export To
// Text...", "Print..." and "Print Preview" (the category bar hidden while the preview
// shows). Each can be chosen while the active document holds a card. "Print Setup..." is
// the frame's own. "Import..." adds the cards of another password manager's CSV export to
// the active document, or to a new one while none is open.

#include <QObject>

namespace tessaline {

class CMainFrame;
class IProfile;
class IUserAnswers;

class CFrameFileCommands : public QObject {
    Q_OBJECT
public:
    CFrameFileCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile);

private:
    void ImportCsv();
    void ExportToText();
    void Print();
    void PrintPreview();

    CMainFrame& frame_;
    IUserAnswers& ui_;
    IProfile& profile_;
};

}  // namespace tessaline
