#pragma once
// The child window of one open document: it holds the document and its one card list,
// shown maximised in the main window. Its icon tells whether the document is saved
// encrypted (a page with a whole key) or plain (a broken key).

#include <QMdiSubWindow>
#include <memory>

class QStackedWidget;

namespace tessaline {

class CLockPanel;
class CTessalineNewDoc;
class CTessalineNewView;
class IProfile;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // Takes the document and makes its card list.
    CChildFrame(std::unique_ptr<CTessalineNewDoc> doc, IProfile& profile,
                QWidget* parent = nullptr);
    ~CChildFrame() override;

    CTessalineNewDoc& Document() { return *doc_; }
    const CTessalineNewDoc& Document() const { return *doc_; }
    CTessalineNewView* View() const { return view_; }
    // Shown in place of the card list while the document is locked.
    CLockPanel* LockPanel() const { return lockPanel_; }

    // Shows an encryption state as the icon: 1 encrypted, anything else plain.
    void ShowEncryptionIcon(int state);
    // 1 when the icon shows the encrypted picture, else 0.
    int ShownEncryptionState() const { return shownState_; }

    // Closes without asking: the document has been offered for saving already.
    void CloseWithoutAsking();

signals:
    // The document closed and the window is about to go.
    void DocumentClosed(CChildFrame* frame);

protected:
    // A modified document is offered for saving first; Cancel keeps the window.
    void closeEvent(QCloseEvent* event) override;
    // The title follows the window's state (see UpdateTitle).
    void changeEvent(QEvent* event) override;

private:
    void UpdateTitle();
    void OnLockChanged(bool locked);

    std::unique_ptr<CTessalineNewDoc> doc_;
    CTessalineNewView* view_ = nullptr;
    CLockPanel* lockPanel_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    int shownState_ = -1;
    bool closing_ = false;
};

}  // namespace tessaline
