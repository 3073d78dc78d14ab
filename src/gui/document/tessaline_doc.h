#pragma once
// One open data file in the desktop program: the core DocumentModel with Qt signals.
// Every decision (open, save, Save As, Encrypt On Save, close) is the model's; this class
// turns its events into signals and its texts into QStrings.

#include <QObject>
#include <QString>

#include "core/document/document_lock.h"
#include "core/document/document_model.h"

namespace tessaline {

class IDocumentHost;
class IProfile;
class IUserAnswers;

class CTessalineNewDoc : public QObject {
    Q_OBJECT
public:
    // host may be null (no main frame).
    CTessalineNewDoc(IUserAnswers& ui, IProfile& profile, IDocumentHost* host,
                     QObject* parent = nullptr);
    ~CTessalineNewDoc() override;

    DocumentModel& Model() { return model_; }
    const DocumentModel& Model() const { return model_; }
    // The cards; an open replaces the collection, so never keep this reference across one.
    CCardCollection& Cards() { return model_.Cards(); }
    const CCardCollection& Cards() const { return model_.Cards(); }

    // An empty untitled document.
    void OnNewDocument();
    // Reads the file (asking for its password when it is encrypted, the entry pre-filled
    // with passwordPrefill). On failure the messages were shown and the document is as it
    // was; the caller discards it.
    bool OnOpenDocument(const QString& path, const QString& passwordPrefill = {});
    bool OnFileSave();
    bool OnFileSaveAs();
    // Encrypt On Save and Set Password.
    void OnEncryptOnSave();
    // The automatic save: true when nothing needed saving or the save succeeded.
    bool AutoSave();
    // "Save changes to ...?" for a modified document; false = keep the document open.
    bool SaveModified();
    // Remembers the shown category ("LastSelectedCatg") and drops "Search Results".
    void OnCloseDocument();

    // Locking (see DocumentModel): the views let go of the cards before they go.
    bool IsLocked() const { return model_.IsLocked(); }
    // Locks by the lock rules, keeping drafts (what closed card editors held) sealed with
    // unsaved changes; why says why changes could not be sealed.
    LockOutcome Lock(std::vector<CardDraft> drafts = {}, std::string* why = nullptr);
    // Opens the sealed changes, or reads the file again, with the password typed; false
    // while it stays locked. The window shows the cards again when told LockChanged.
    bool Unlock(const QString& password);

    // The file was read only in part: Save runs Save As (see DocumentModel::IsReadOnly).
    bool IsReadOnly() const { return model_.IsReadOnly(); }
    bool IsModified() const { return model_.IsModified(); }
    void SetModifiedFlag(bool modified = true) { model_.SetModified(modified); }
    // 1 when saves write an encrypted file, else 0.
    int EncryptionState() const { return model_.EncryptionState(); }
    // "Not encrypted", "Encrypted (compatible)" or "Sealed", for the status bar.
    QString LayoutText() const;
    // Save, Save As, Encrypt On Save, printing, Find and export need at least one stored
    // card (deleted ones count).
    bool HasCards() const { return model_.HasStoredCards(); }

    QString PathName() const;
    QString Title() const;
    // The title as windows show it: a file read only in part says so.
    QString ShownTitle() const;
    void SetTitle(const QString& title);

    // Every view lists again: without a hint each shows the remembered category, with one
    // it shows that text (a category display name, "Show All" or "Search Results").
    void UpdateAllViews();
    void UpdateAllViews(const QString& hint);

signals:
    void ViewsNeedUpdate();
    void ViewsNeedUpdateTo(const QString& hint);
    // The card collection is about to be replaced: drop every reference into it.
    void CardsAboutToBeReplaced();
    void ModifiedChanged(bool modified);
    void TitleChanged(const QString& title);
    void PathChanged(const QString& path);
    void EncryptionChanged(int state);
    // The layout the next save writes changed; LayoutText() says which.
    void LayoutChanged();
    void LockChanged(bool locked);

private:
    DocumentModel model_;
};

}  // namespace tessaline
