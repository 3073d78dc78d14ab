#pragma once
// One open data file: its cards, its file password state, its path and title and
// whether it changed since the last save; and the decisions of opening, saving, Save As,
// Encrypt On Save and closing. Asks the user only through IUserAnswers and tells the
// frame only through IDocumentHost, so every decision runs without a window.

#include <functional>
#include <memory>
#include <string>

#include "core/cards/card_collection.h"
#include "core/file/data_file.h"
#include "core/file/file_fingerprint.h"
#include "core/file/safe_file.h"

namespace tessaline {

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
    bool HasStoredCards() const { return cards_->TotalStoredSize() > 0; }
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
    // save failed: the document must stay open.
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

    // Locking: the cards are wiped and dropped, and so is the password; the path, title
    // and encryption state stay, so that the file can be read again to unlock.
    bool IsLocked() const { return locked_; }
    // Wipes and drops the cards. Only an encrypted document with a file and no unsaved
    // changes can be locked; false (and nothing changes) otherwise.
    bool Lock();
    // Reads the file again with password. On a wrong password or a file that cannot be
    // read, says why and stays locked. True when unlocked (or not locked).
    bool Unlock(const std::string& password);

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
    // The File Encryption dialog, its box ticked or as the document is, and its answer
    // applied.
    void RunFileEncryption(bool ticked);
    // A plain document about to be saved under a ".tse" name: encrypt it (Yes: the save
    // goes on, encrypted), save it under the ".tsf" name instead (done here), or nothing.
    Written ResolvePlainUnderEncryptedName(const std::string& path, SaveKind kind);
    // Writes to plainPath, asking first when it exists; it becomes the document's file.
    Written SaveUnderPlainName(const std::string& plainPath);
    // Under the writer lock: whether the file at path may be replaced now.
    Written MayReplace(const std::string& path, SaveKind kind);
    bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes,
                    const WriteOptions& options = {});
    void Remember(const std::string& path, std::span<const std::uint8_t> bytes);
    // The cards and cipher state read from the document's file (whose bytes were bytes)
    // become the document's: unlocked and unmodified.
    void TakeReadFile(std::unique_ptr<CCardCollection> cards, FileCipherState state,
                      std::span<const std::uint8_t> bytes);
    bool IsDamagedFile(const std::string& path) const;
    bool IsKnownFile(const std::string& path) const;

    IUserAnswers& ui_;
    IProfile& profile_;
    IDocumentHost* host_;
    DocumentEvents events_;
    std::unique_ptr<CCardCollection> cards_;
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
    bool toldPlainUnderTse_ = false;  // the automatic save said it left a plain ".tse" alone
};

// "Only N of the cards in NAME could be read; ..."
std::string ReadInPartMessage(std::size_t cardsRead, const std::string& name);

// "name.ext" -> "ext"; "" when the file name has no dot. Folders are not looked at.
std::string ExtensionOf(const std::string& path);
// The path with the file name's extension replaced (or added) by ext, without its dot.
std::string WithExtension(const std::string& path, const std::string& ext);

}  // namespace tessaline
