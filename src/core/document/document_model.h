#pragma once
// One open data file: its cards, its file password state, its path and title and
// whether it changed since the last save; and the decisions of opening, saving, Save As,
// Encrypt On Save and closing. Asks the user only through IUserAnswers and tells the
// frame only through IDocumentHost, so every decision runs without a window.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/document/card_undo.h"
#include "core/document/older_layout_losses.h"
#include "core/document/sealed_changes.h"
#include "core/file/data_file.h"
#include "core/file/file_fingerprint.h"
#include "core/file/safe_file.h"

namespace tessaline {

class DataFileLock;
class IDocumentHost;
class IProfile;
class IUserAnswers;

// Told after the document's state changed; any of them may be left empty.
struct DocumentEvents {
    std::function<void(bool modified)> modifiedChanged;
    std::function<void(const std::string& title)> titleChanged;
    std::function<void(const std::string& path)> pathChanged;
    std::function<void(int state)> encryptionChanged;
    // The layout the next save writes changed (plain, compatible or sealed).
    std::function<void()> layoutChanged;
    std::function<void(bool locked)> lockChanged;
};

// How a document's next save stores it.
enum class FileLayout { Plain, Compatible, Sealed };
// "Not encrypted", "Encrypted (compatible)", "Sealed": the status bar's words.
const char* FileLayoutText(FileLayout layout);

class DocumentModel {
public:
    // host may be null (no main frame): then nothing is asked of the frame.
    DocumentModel(IUserAnswers& ui, IProfile& profile, IDocumentHost* host);
    ~DocumentModel();
    DocumentModel(const DocumentModel&) = delete;
    DocumentModel& operator=(const DocumentModel&) = delete;

    void SetEvents(DocumentEvents events) { events_ = std::move(events); }

    // The cards. A successful Open replaces the collection: take references after it.
    CCardCollection& Cards() { return *cards_; }
    const CCardCollection& Cards() const { return *cards_; }
    const FileCipherState& CipherState() const { return state_; }
    // The card changes of this session that can be undone and redone (see card_change.h,
    // through which every change goes). Saving keeps them; opening, a new document and
    // locking wipe them with the cards.
    CardUndoStack& CardUndo() { return undo_; }
    const CardUndoStack& CardUndo() const { return undo_; }
    // Edit > Undo / Redo: false when there is nothing to undo or redo. The document is
    // modified afterwards.
    bool UndoCardChange();
    bool RedoCardChange();

    bool IsModified() const { return modified_; }
    void SetModified(bool modified);
    const std::string& PathName() const { return path_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);
    // Adopts path as the document's file: the title follows from its name, and the path
    // goes to the top of the recent-file list.
    void SetPathName(const std::string& path);

    // 1 when the next save writes an encrypted file, else 0.
    int EncryptionState() const { return state_.encryptOnSave ? 1 : 0; }
    // Which layout the next save writes; after an open, the layout of the file read.
    FileLayout Layout() const;
    // The key derivation settings new seals use, from the settings (defaults when absent
    // or out of range).
    SealSettings NewSealSettings() const;
    // Save, Save As, Encrypt On Save, printing, Find and export are offered only when the
    // document holds at least one card, deleted cards included.
    bool HasStoredCards() const { return cards_->HoldsCards(); }
    // The password the handheld set-up chose for a new file.
    void SetEncryptionPassword(const std::string& password);

    // An empty untitled document.
    void NewDocument();
    // Whether Open tells the user about a file it could read only in part (the command
    // line's printing says so itself).
    enum class DamageNotice { Show, Quiet };
    // Reads the file; a wrong password is asked for again until the right one or Cancel.
    // On failure shows the reason, then "Failed to open document.", and leaves the
    // document as it was. A file read only in part opens read-only (see IsReadOnly), with
    // a message saying so.
    bool Open(const std::string& path, const std::string& passwordPrefill,
              DamageNotice notice = DamageNotice::Show);
    // The file was read only in part: this document never writes over it, and Save
    // (automatic save and the close question's Yes too) runs Save As instead.
    bool IsReadOnly() const { return readOnly_; }
    // The cards read from the file (deleted ones included).
    std::size_t CardsRead() const { return cardsRead_; }
    // Save: to the document's path, or Save As when it has none or is read-only. True
    // when saved. Before replacing its file, checks that no other program changed it.
    bool Save();
    // Save As with its chooser and the encryption question. True when saved. A failed
    // Save As leaves the path, title, encryption and modified flag as they were.
    bool SaveAs();
    // Writes the document to path in the form the encrypt-on-save flag selects, holding
    // the file's writer lock. On any failure the file at path is untouched and the
    // document stays modified.
    bool SaveTo(const std::string& path);
    // Encrypt On Save / Set Password: the dialog starts with the box as the document is
    // and both entries empty; left empty, they keep the document's password.
    void EncryptOnSave();
    // Before closing a modified document: "Save changes to ...?" False = Cancel, or the
    // save failed: the document must stay open. A locked document's Yes asks for its
    // password first (again until the right one or Cancel).
    bool SaveModified();
    // Remembers the shown category for the next start and drops "Search Results".
    void Close();
    // The automatic save: saves when modified and the document has a file; a document
    // never saved is passed over (it stays modified), a read-only one runs Save As. True
    // when nothing was saved or the save succeeded; the modified flag is cleared only by
    // a successful save. A file another program changed is never replaced: the status
    // bar says so, once.
    bool AutoSave();
    // The handheld set-up: writes the document encrypted under the password set with
    // SetEncryptionPassword and keeps encrypting on later saves. With no password set
    // nothing is written and false is returned.
    bool WriteNewEncryptedFile(const std::string& path);

    // Locking: the cards are wiped and dropped, and so is the password; the path, title,
    // encryption state and modified flag stay. While locked nothing is saved.
    bool IsLocked() const { return locked_; }
    // Locks an encrypted document. One with unsaved changes, without a file, or with card
    // editors that the lock closed (drafts) keeps all of it sealed in memory under its
    // password (see sealed_changes.h); any other reads its file again to unlock. The
    // cards, the drafts and the password are wiped. False, and nothing changes, for a
    // plain or locked document, or when the changes cannot be sealed (why then says why).
    // beforeDrop runs just before the cards go.
    bool Lock(std::vector<CardDraft> drafts = {}, std::vector<MessageRequest>* why = nullptr,
              const std::function<void()>& beforeDrop = {});
    // Locked with the cards sealed in memory (not to be read from the file).
    bool HoldsSealedChanges() const { return sealedChanges_.has_value(); }
    // Opens the sealed cards, or reads the file again, with password. On a wrong password
    // or a file that cannot be read, says why and stays locked. True when unlocked (or
    // not locked). Sealed changes come back still unsaved.
    bool Unlock(const std::string& password);
    // The card editors the lock closed, once, after unlocking.
    std::vector<CardDraft> TakeDrafts() { return std::exchange(drafts_, {}); }

private:
    enum class SaveKind { User, Automatic };
    enum class Written { Yes, No, SavedAsInstead };
    // What the document last read from or wrote to its file.
    struct KnownFile {
        std::string path;
        std::optional<FileIdentity> identity;
        FileFingerprint print;
    };

    void RestartAutoSaveIfOn();
    void SetEncryptOnSave(bool on);
    // Tells layoutChanged when the layout differs from the one last told.
    void NoteLayout();
    Written WriteDocument(const std::string& path, SaveKind kind);
    // Before a plain or compatible save that would not keep the recycle bin, earlier
    // versions or optional fields: asks whether to seal the file instead (which may set
    // the layout to sealed). True when the save may go on.
    bool AgreedToOlderLayout(const std::string& path, SaveKind kind);
    // After a save: a file that was of the first sealed layout says, once, that it is
    // now of the second.
    void NoteSealedLayoutWritten(const std::string& path);
    // The File Encryption dialog, its box ticked or as the document is, and its answer
    // applied.
    void RunFileEncryption(bool ticked);
    // A plain document about to be saved under a ".tse" name: encrypt it (Yes: the save
    // goes on, encrypted), save it under the ".tsf" name instead (done here), or nothing.
    Written ResolvePlainUnderEncryptedName(const std::string& path, SaveKind kind);
    // Writes to plainPath, asking first when it exists; it becomes the document's file.
    Written SaveUnderPlainName(const std::string& plainPath);
    // Whether the file at path may be replaced, asking the user when another program
    // changed it; agreed receives the contents the decision was about, which the file
    // must still have when it is replaced (nothing when the file is not this document's,
    // or was changed into something that cannot be read).
    Written MayReplace(const std::string& path, SaveKind kind,
                       std::optional<FileFingerprint>& agreed);
    // Writes under lock (which it lets go) and remembers what it wrote; false, after
    // saying why, when the file could not be written.
    bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    std::optional<DataFileLock>& lock);
    void Remember(const std::string& path, std::span<const std::uint8_t> bytes);
    // The cards and cipher state read from the document's file (whose bytes were bytes)
    // become the document's: unlocked and unmodified.
    void TakeReadFile(std::unique_ptr<CCardCollection> cards, FileCipherState state,
                      std::span<const std::uint8_t> bytes);
    bool IsDamagedFile(const std::string& path) const;
    // Opens the sealed changes with password; says why not and stays locked otherwise.
    bool UnlockSealed(const std::string& password);
    void DropCards();
    bool IsKnownFile(const std::string& path) const;

    IUserAnswers& ui_;
    IProfile& profile_;
    IDocumentHost* host_;
    DocumentEvents events_;
    std::unique_ptr<CCardCollection> cards_;
    CardUndoStack undo_;
    FileCipherState state_;
    bool modified_ = false;
    bool locked_ = false;
    std::string path_;
    std::string title_;
    FileLayout toldLayout_ = FileLayout::Plain;
    bool readOnly_ = false;
    std::size_t cardsRead_ = 0;
    std::optional<FileIdentity> damaged_;  // the file read only in part
    std::optional<KnownFile> known_;
    bool toldChangedOnDisk_ = false;  // the automatic save said so already
    // While locked with unsaved changes: the cards and drafts, sealed.
    std::optional<std::vector<std::uint8_t>> sealedChanges_;
    // The cards a lock wiped: kept (empty) until the unlock, in case whatever the lock
    // interrupted still points into them.
    std::unique_ptr<CCardCollection> retired_;
    std::vector<CardDraft> drafts_;   // unsealed, until the window takes them
    bool toldPlainUnderTse_ = false;  // the automatic save said it left a plain ".tse" alone
    // What the user agreed an older layout does not keep (asked again when it grows).
    std::optional<OlderLayoutLosses> agreedLosses_;
};

// "Only N of the cards in NAME could be read; ..."
std::string ReadInPartMessage(std::size_t cardsRead, const std::string& name);

// "name.ext" -> "ext"; "" when the file name has no dot. Folders are not looked at.
std::string ExtensionOf(const std::string& path);
// The path with the file name's extension replaced (or added) by ext, without its dot.
std::string WithExtension(const std::string& path, const std::string& ext);

}  // namespace tessaline
