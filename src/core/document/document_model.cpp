#include "core/document/document_model.h"

#include <sys/stat.h>

#include <filesystem>

#include "core/base/message_texts.h"
#include "core/base/sealed2_texts.h"
#include "core/base/secure_wipe.h"
#include "core/document/document_host.h"
#include "core/document/document_lock.h"
#include "core/document/file_with_user.h"
#include "core/document/older_layout_losses.h"
#include "core/document/write_target.h"
#include "core/file/file_lock.h"
#include "core/file/password_check.h"
#include "core/file/safe_file.h"
#include "core/file/sealed_payload.h"
#include "core/platform/profile.h"
#include "core/platform/user_answers.h"
#include "core/prefs/date_format.h"
#include "core/prefs/frame_keys.h"

namespace tessaline {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::size_t FileNameStart(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

void ShowFrameworkError(IUserAnswers& ui, std::string text) {
    ui.Message(
        MessageRequest{std::move(text), MsgCaption::Application, MsgIcon::Warning, MsgButtons::Ok});
}

// text with its first "%1" replaced by value.
std::string Fill(std::string text, const std::string& value) {
    const std::size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

// text with "%1" and "%2" replaced by first and second; what they hold is not looked at.
std::string Fill(const std::string& text, const std::string& first, const std::string& second) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            out += text[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Wipes a buffer that holds card texts in clear.
struct WipeOnExit {
    std::vector<std::uint8_t>& bytes;
    ~WipeOnExit() { SecureWipe(bytes.data(), bytes.size()); }
};

}  // namespace

std::string ReadInPartMessage(std::size_t cardsRead, const std::string& name) {
    std::string text = Fill(msg::kReadInPart, std::to_string(cardsRead));
    const std::size_t at = text.find("%2");
    text.replace(at, 2, name);
    return text;
}

std::string ExtensionOf(const std::string& path) {
    const std::size_t start = FileNameStart(path);
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < start)
        return {};
    return path.substr(dot + 1);
}

std::string WithExtension(const std::string& path, const std::string& ext) {
    const std::size_t start = FileNameStart(path);
    const std::size_t dot = path.find_last_of('.');
    const std::string stem = (dot == std::string::npos || dot < start) ? path : path.substr(0, dot);
    return stem + "." + ext;
}

const char* FileLayoutText(FileLayout layout) {
    switch (layout) {
        case FileLayout::Plain:
            break;
        case FileLayout::Compatible:
            return msg::kLayoutCompatible;
        case FileLayout::Sealed:
            return msg::kLayoutSealed;
    }
    return msg::kLayoutPlain;
}

DocumentModel::DocumentModel(IUserAnswers& ui, IProfile& profile, IDocumentHost* host)
    : ui_(ui), profile_(profile), host_(host), cards_(std::make_unique<CCardCollection>()) {
    state_.seal = NewSealSettings();
}

FileLayout DocumentModel::Layout() const {
    if (!state_.encryptOnSave)
        return FileLayout::Plain;
    return state_.sealed ? FileLayout::Sealed : FileLayout::Compatible;
}

SealSettings DocumentModel::NewSealSettings() const {
    SealSettings settings = kDefaultSealSettings;
    const int ops = profile_.GetInt(prefs::kGeneralSection, prefs::kSealedKeyOperations,
                                    static_cast<int>(kDefaultSealSettings.opsLimit));
    const int kib = profile_.GetInt(prefs::kGeneralSection, prefs::kSealedKeyMemoryKiB,
                                    static_cast<int>(kDefaultSealSettings.memLimit >> 10));
    const SealSettings wanted{static_cast<std::uint32_t>(ops),
                              static_cast<std::uint64_t>(static_cast<std::uint32_t>(kib)) << 10};
    if (ops > 0 && kib > 0 && SealSettingsReadable(wanted))
        settings = wanted;
    return settings;
}

void DocumentModel::NoteLayout() {
    const FileLayout now = Layout();
    if (now == toldLayout_)
        return;
    toldLayout_ = now;
    if (events_.layoutChanged)
        events_.layoutChanged();
}

DocumentModel::~DocumentModel() = default;

void DocumentModel::TakeReadFile(std::unique_ptr<CCardCollection> cards, FileCipherState state,
                                 std::span<const std::uint8_t> bytes) {
    undo_.Clear();
    cards_ = std::move(cards);
    const bool encrypt = state.encryptOnSave;
    state.encryptOnSave = state_.encryptOnSave;
    // A sealed file keeps its own settings; any other file seals, if ever, with the
    // settings of the day.
    if (!state.sealed)
        state.seal = NewSealSettings();
    state_ = state;
    SetEncryptOnSave(encrypt);
    // What was read is what a later save checks the file against.
    Remember(path_, bytes);
    agreedLosses_.reset();
    locked_ = false;
    NoteLayout();
    SetModified(false);
}

bool DocumentModel::UndoCardChange() {
    if (locked_ || !undo_.Undo(*cards_))
        return false;
    SetModified(true);
    return true;
}

bool DocumentModel::RedoCardChange() {
    if (locked_ || !undo_.Redo(*cards_))
        return false;
    SetModified(true);
    return true;
}

void DocumentModel::SetModified(bool modified) {
    if (modified_ == modified)
        return;
    modified_ = modified;
    if (events_.modifiedChanged)
        events_.modifiedChanged(modified_);
}

void DocumentModel::SetTitle(const std::string& title) {
    if (title_ == title)
        return;
    title_ = title;
    if (events_.titleChanged)
        events_.titleChanged(title_);
}

void DocumentModel::SetPathName(const std::string& path) {
    path_ = path;
    if (events_.pathChanged)
        events_.pathChanged(path_);
    SetTitle(FileTitleOf(path));
    if (host_)
        host_->AddToRecentFiles(path);
}

void DocumentModel::SetEncryptOnSave(bool on) {
    if (state_.encryptOnSave == on)
        return;
    state_.encryptOnSave = on;
    if (events_.encryptionChanged)
        events_.encryptionChanged(EncryptionState());
    NoteLayout();
}

void DocumentModel::SetEncryptionPassword(const std::string& password) {
    state_.encryptionPassword = password;
}

void DocumentModel::NewDocument() {
    undo_.Clear();
    cards_ = std::make_unique<CCardCollection>();
    state_ = FileCipherState{};
    state_.seal = NewSealSettings();
    path_.clear();
    locked_ = false;
    sealedChanges_.reset();
    retired_.reset();
    drafts_.clear();
    readOnly_ = false;
    cardsRead_ = 0;
    damaged_.reset();
    known_.reset();
    agreedLosses_.reset();
    SetModified(false);
    NoteLayout();
}

void DocumentModel::RestartAutoSaveIfOn() {
    if (host_ && profile_.GetInt(prefs::kInternetSection, prefs::kAutomaticSaveCheck, 0) == 1) {
        host_->RestartAutoSaveTimer();
    }
}

bool DocumentModel::Open(const std::string& path, const std::string& passwordPrefill,
                         DamageNotice notice) {
    RemoveSaveLeftovers(path);
    FileError error;
    std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(path, error);
    if (!data) {
        ShowFrameworkError(ui_, std::string(msg::kFailedToOpen) + "\n" + error.what);
        return false;
    }
    RestartAutoSaveIfOn();
    // An empty setting would match the selector's second entry; the view then shows
    // its default category, so the selector is left alone.
    const std::string last = profile_.GetText(prefs::kGeneralSection, prefs::kLastSelectedCatg, "");
    if (host_ && !last.empty())
        host_->SelectCategoryStartingWith(last);

    // Read into fresh state so that a failed open leaves this document as it was. A wrong
    // password asks again, as its message says, until the right one or Cancel.
    WipeOnExit wipe{*data};
    // The date texts of one file all follow the preference as it was when the file opened.
    UserReadRequest request{ui_, DateFormatIndex(profile_), FileTitleOf(path), passwordPrefill};
    ReadResult read;
    for (;;) {
        read = ReadDataFileWithUser(*data, request);
        if (read.ok)
            break;
        if (!read.wrongPassword) {
            // Cancel is the user's own choice: nothing to tell them about.
            if (!read.cancelled || !read.messages.empty())
                ShowFrameworkError(ui_, msg::kFailedToOpen);
            return false;
        }
        request.passwordPrefill.clear();  // the one offered was wrong
    }
    TakeReadFile(std::move(read.cards), read.state, *data);
    // Writing back what was read would lose the rest of the file.
    readOnly_ = read.ReadInPart();
    cardsRead_ = static_cast<std::size_t>(cards_->LiveCardCount()) + cards_->DeletedList().Count();
    damaged_.reset();
    if (readOnly_)
        damaged_ = IdentityOf(path);
    Remember(path, *data);
    SetPathName(path);
    if (host_ && Layout() == FileLayout::Compatible)
        host_->ShowStatusText(msg::kCompatibleNote);
    // A file a newer program wrote is read whole as far as this version knows it; the
    // reader said why it opens read-only.
    if (readOnly_ && read.ReadDamaged() && notice == DamageNotice::Show) {
        ui_.Message(MessageRequest{ReadInPartMessage(cardsRead_, FileTitleOf(path)),
                                   MsgCaption::Application, MsgIcon::Warning, MsgButtons::Ok});
    }
    return true;
}

void DocumentModel::Remember(const std::string& path, std::span<const std::uint8_t> bytes) {
    known_ = KnownFile{path, IdentityOf(path), FingerprintOf(bytes, path)};
    toldChangedOnDisk_ = false;
    toldPlainUnderTse_ = false;
}

bool DocumentModel::IsDamagedFile(const std::string& path) const {
    return damaged_ && IdentityOf(path) == damaged_;
}

bool DocumentModel::IsKnownFile(const std::string& path) const {
    if (!known_)
        return false;
    if (path == known_->path)
        return true;
    const std::optional<FileIdentity> identity = IdentityOf(path);
    return identity && identity == known_->identity;
}

bool DocumentModel::WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes,
                               std::optional<DataFileLock>& lock) {
    // A file that holds no cards yet is given the mode of a new data file, whatever mode
    // it was created with.
    WriteOptions options;
    options.mustBeNew = lock->ForNewFile();
    options.ownerOnly = IsBlankDataFileAt(path);
    const std::optional<FileError> error = WriteFileSafely(path, bytes, options);
    if (!error)
        Remember(path, bytes);
    // Let go before a message waits for the user.
    lock.reset();
    if (error) {
        ShowFrameworkError(ui_, std::string(msg::kFailedToSave) + "\n" + error->what);
        return false;
    }
    return true;
}

bool DocumentModel::SaveTo(const std::string& path) {
    return WriteDocument(path, SaveKind::User) != Written::No;
}

DocumentModel::Written DocumentModel::WriteDocument(const std::string& path, SaveKind kind) {
    // A locked document holds no cards to write: a save the lock interrupted ends here.
    if (locked_)
        return Written::No;
    RestartAutoSaveIfOn();
    if (IsDamagedFile(path)) {
        ShowFrameworkError(ui_, Fill(msg::kDamagedNotReplaced, FileTitleOf(path)));
        return Written::No;
    }
    // A name ending in ".tse" never holds the cards in clear.
    if (PlainUnderEncryptedName(path, state_.encryptOnSave)) {
        const Written resolved = ResolvePlainUnderEncryptedName(path, kind);
        if (resolved != Written::Yes)
            return resolved;
    }
    if (!AgreedToOlderLayout(path, kind))
        return Written::No;
    // Cards read from a layout without identities get theirs now, kept from this save on.
    if (Layout() == FileLayout::Sealed)
        GiveMissingIdentities(*cards_);
    std::optional<std::vector<std::uint8_t>> bytes = BuildDataFileWithUser(*cards_, state_, ui_);
    // The writer may have sealed a file too large for the compatible layout.
    NoteLayout();
    if (!bytes)
        return Written::No;
    WipeOnExit wipe{*bytes};
    for (;;) {
        // The user is asked with no lock held, so that other programs can go on saving
        // meanwhile; the file as it was when the answer was given is what may be replaced.
        std::optional<FileFingerprint> agreed;
        const Written may = MayReplace(path, kind, agreed);
        if (may == Written::SavedAsInstead)  // No to "Replace it with your version?"
            return SaveAs() ? Written::SavedAsInstead : Written::No;
        if (may != Written::Yes)
            return Written::No;
        // Held from the second look until the new file is in place, so that no other
        // writer changes the file in between.
        std::optional<DataFileLock> lock = DataFileLock::Acquire(path);
        if (!lock) {
            ShowFrameworkError(ui_, BusyFileMessage(FileTitleOf(path)));
            return Written::No;
        }
        // Changed (again) since the decision: it was about another version, so the
        // question is asked (again).
        if (agreed && CompareWithDisk(*agreed, path) == DiskState::Changed)
            continue;
        if (!WriteBytes(path, *bytes, lock))
            return Written::No;
        NoteSealedLayoutWritten(path);
        SetModified(false);
        return Written::Yes;
    }
}

void DocumentModel::NoteSealedLayoutWritten(const std::string& path) {
    if (Layout() != FileLayout::Sealed)
        return;
    // A file of the first sealed layout is now of the second: said once.
    if (state_.readSealedLayout == 1 && host_)
        host_->ShowStatusText(Fill(msg::kNowInNewerLayout, FileTitleOf(path)));
    state_.readSealedLayout = 2;
}

bool DocumentModel::AgreedToOlderLayout(const std::string& path, SaveKind kind) {
    if (Layout() == FileLayout::Sealed)
        return true;
    const OlderLayoutLosses losses = LossesInOlderLayout(*cards_);
    if (!losses.Any() || (agreedLosses_ && agreedLosses_->Covers(losses)))
        return true;
    const std::string name = FileTitleOf(path);
    if (kind == SaveKind::Automatic) {
        // Nobody is there to answer: the document stays modified until the user saves.
        if (host_)
            host_->ShowStatusText(OlderLayoutLossMessage(losses, name, true));
        return false;
    }
    switch (AskAboutOlderLayout(ui_, losses, name, true)) {
        case OlderLayoutChoice::SaveWithout:
            agreedLosses_ = losses;
            return true;
        case OlderLayoutChoice::Seal:
            if (state_.encryptOnSave && !state_.encryptionPassword.empty()) {
                state_.sealed = true;
                state_.seal = NewSealSettings();
                NoteLayout();
                if (host_)
                    host_->ShowEncryptionState();
            } else {
                // A plain document needs a password first: the File Encryption dialog,
                // ticked and sealed.
                RunFileEncryption(true);
            }
            return Layout() == FileLayout::Sealed;
        case OlderLayoutChoice::Cancel:
            break;
    }
    return false;
}

DocumentModel::Written DocumentModel::ResolvePlainUnderEncryptedName(const std::string& path,
                                                                     SaveKind kind) {
    const std::string plainPath = PlainNameFor(path);
    const std::string name = FileTitleOf(path);
    const std::string plainName = FileTitleOf(plainPath);
    if (kind == SaveKind::Automatic) {
        // Nobody asked for this save: the document stays modified until the user chooses.
        if (!toldPlainUnderTse_ && host_)
            host_->ShowStatusText(Fill(msg::kAutoSaveLeftPlainUnderTse, name, plainName));
        toldPlainUnderTse_ = true;
        return Written::No;
    }
    const std::vector<std::string> buttons{msg::kEncryptItButton,
                                           Fill(msg::kSaveAsButton, plainName), msg::kCancelButton};
    const MessageRequest question{Fill(msg::kPlainUnderEncryptedName, name, plainName),
                                  MsgCaption::Application, MsgIcon::Warning,
                                  MsgButtons::YesNoCancel};
    switch (ui_.AskWithButtons(question, buttons, 0)) {
        case 0:
            RunFileEncryption(true);
            return state_.encryptOnSave ? Written::Yes : Written::No;
        case 1:
            return SaveUnderPlainName(plainPath);
        default:
            return Written::No;
    }
}

DocumentModel::Written DocumentModel::SaveUnderPlainName(const std::string& plainPath) {
    if (Exists(plainPath) && !IsDamagedFile(plainPath)) {
        const MsgAnswer answer = ui_.Message(
            MessageRequest{Fill(msg::kAlreadyExists, FileTitleOf(plainPath)),
                           MsgCaption::Application, MsgIcon::Warning, MsgButtons::YesNo});
        if (answer != MsgAnswer::Yes)
            return Written::No;
    }
    const Written written = WriteDocument(plainPath, SaveKind::User);
    if (written != Written::Yes)
        return written;
    // The file written is the document's from now on, and holds all it has.
    readOnly_ = false;
    SetPathName(plainPath);
    return Written::SavedAsInstead;
}

DocumentModel::Written DocumentModel::MayReplace(const std::string& path, SaveKind kind,
                                                 std::optional<FileFingerprint>& agreed) {
    agreed.reset();
    // Only the file this document read or wrote can have been changed behind its back;
    // any other file was chosen (and its replacing confirmed) in the chooser.
    if (!IsKnownFile(path))
        return Written::Yes;
    if (CompareWithDisk(known_->print, path) != DiskState::Changed) {
        agreed = known_->print;
        return Written::Yes;
    }
    // What the question is about: the file as it is now (nothing when it is no file that
    // can be read, such as a folder in its place; the writing then says what it finds).
    FileError error;
    if (std::optional<std::vector<std::uint8_t>> now = ReadWholeFile(path, error)) {
        WipeOnExit wipe{*now};
        agreed = FingerprintOf(*now, path);
    }
    const std::string name = FileTitleOf(path);
    if (kind == SaveKind::Automatic) {
        if (!toldChangedOnDisk_ && host_)
            host_->ShowStatusText(Fill(msg::kAutoSaveLeftChangedFile, name));
        toldChangedOnDisk_ = true;
        return Written::No;
    }
    // Enter keeps the other program's changes: replacing them takes a click on Yes.
    switch (ui_.Message(MessageRequest{Fill(msg::kChangedOnDisk, name), MsgCaption::Application,
                                       MsgIcon::Warning, MsgButtons::YesNoCancel, MsgAnswer::No})) {
        case MsgAnswer::Yes:
            return Written::Yes;
        case MsgAnswer::No:
            return Written::SavedAsInstead;
        default:
            return Written::No;
    }
}

bool DocumentModel::Save() {
    if (path_.empty() || readOnly_)
        return SaveAs();
    return SaveTo(path_);
}

bool DocumentModel::SaveAs() {
    if (locked_)
        return false;
    std::string initial = title_;
    if (EndsWith(initial, ".tse") || EndsWith(initial, ".tsf")) {
        initial.resize(initial.size() - 4);
    }
    // The chooser starts in the folder of the document's file.
    if (!path_.empty())
        initial = (std::filesystem::path(path_).parent_path() / initial).string();
    FileDialogRequest request;
    request.defaultExtension = msg::kEncryptedExtension;
    request.initialName = initial;
    request.filter = msg::kSaveAsFilter;
    request.overwritePrompt = true;
    // A save chooser has to accept names of files that do not exist yet.
    request.mustExist = false;
    const std::optional<FileDialogAnswer> chosen = ui_.SaveFileName(request);
    if (!chosen || chosen->path.empty())
        return false;

    // A failed Save As changes nothing: the encryption the question below may switch on
    // goes back too.
    const FileCipherState before = state_;
    const bool wasModified = modified_;
    auto restore = [&] {
        const bool encryptionChanged = state_.encryptOnSave != before.encryptOnSave;
        // A lock that came meanwhile wiped the password: it does not come back here.
        if (!locked_)
            state_.encryptionPassword = before.encryptionPassword;
        SetEncryptOnSave(before.encryptOnSave);
        SetModified(wasModified);
        if (encryptionChanged && host_)
            host_->ShowEncryptionState();
        return false;
    };

    std::string path = chosen->path;
    // The chooser asked before replacing the name it gave back; a name changed after it
    // closed is asked about here.
    bool replaceAsked = true;
    if (ExtensionOf(path).empty()) {
        // The file type the user picked decides the extension.
        path += std::string(".") +
                (chosen->filterIndex == 1 ? msg::kPlainExtension : msg::kEncryptedExtension);
        replaceAsked = false;
    }
    if (ExtensionOf(path) == msg::kEncryptedExtension && !state_.encryptOnSave &&
        state_.encryptionPassword.empty()) {
        const MsgAnswer answer = ui_.Message(MessageRequest{
            msg::kAskToEncrypt, MsgCaption::Application, MsgIcon::Question, MsgButtons::YesNo});
        if (answer == MsgAnswer::Yes) {
            // Yes means encryption: the dialog starts ticked, ready for the password.
            RunFileEncryption(true);
        } else {
            ui_.MessageWithCaption(MessageRequest{msg::kWillNotEncrypt, MsgCaption::System,
                                                  MsgIcon::Warning, MsgButtons::Ok},
                                   msg::kFileEncryptionCaption);
            path = WithExtension(path, msg::kPlainExtension);
            replaceAsked = false;
        }
    }
    if (!replaceAsked && Exists(path) && !IsDamagedFile(path)) {
        const MsgAnswer answer = ui_.Message(
            MessageRequest{Fill(msg::kAlreadyExists, FileTitleOf(path)), MsgCaption::Application,
                           MsgIcon::Warning, MsgButtons::YesNo});
        if (answer != MsgAnswer::Yes)
            return restore();
    }
    switch (WriteDocument(path, SaveKind::User)) {
        case Written::Yes:
            // The file written is the document's from now on, and holds all it has.
            readOnly_ = false;
            SetPathName(path);
            return true;
        case Written::SavedAsInstead:
            return true;
        case Written::No:
            break;
    }
    return restore();
}

void DocumentModel::EncryptOnSave() {
    if (locked_)
        return;
    RunFileEncryption(state_.encryptOnSave);
}

void DocumentModel::RunFileEncryption(bool ticked) {
    const bool hasPassword = !state_.encryptionPassword.empty();
    // New encryption is sealed unless the user chooses otherwise; an encrypted document
    // starts with the layout it has.
    const bool sealed = state_.encryptOnSave ? state_.sealed : true;
    std::optional<FileEncryptionAnswer> answer =
        ui_.FileEncryption(FileEncryptionStart{ticked, hasPassword, sealed});
    if (answer) {
        if (answer->encryptOnSave) {
            const NewPasswordVerdict verdict =
                JudgeEncryptionEntries(answer->first, answer->second, hasPassword);
            if (verdict == NewPasswordVerdict::Accepted ||
                verdict == NewPasswordVerdict::KeepCurrent) {
                const bool changed = verdict == NewPasswordVerdict::Accepted ||
                                     !state_.encryptOnSave || answer->sealed != state_.sealed;
                if (verdict == NewPasswordVerdict::Accepted)
                    state_.encryptionPassword = answer->first;
                if (answer->sealed && !state_.sealed)
                    state_.seal = NewSealSettings();
                state_.sealed = answer->sealed;
                SetEncryptOnSave(true);
                NoteLayout();
                if (changed)
                    SetModified(true);
            } else {
                // A refused password changes nothing: the document keeps encrypting (or
                // not) as before, under the password it had.
                ui_.Message(MessageRequest{NewPasswordMessage(verdict), MsgCaption::Application,
                                           MsgIcon::None, MsgButtons::Ok});
            }
        } else {
            SetEncryptOnSave(false);
            SetModified(true);
        }
        SecureWipe(answer->first);
        SecureWipe(answer->second);
    }
    if (host_)
        host_->ShowEncryptionState();
}

bool DocumentModel::SaveModified() {
    if (!modified_)
        return true;
    std::string name = path_.empty() ? title_ : path_;
    if (name.empty())
        name = msg::kUntitled;
    switch (ui_.Message(MessageRequest{Fill(msg::kSaveChangesTo, name), MsgCaption::Application,
                                       MsgIcon::Question, MsgButtons::YesNoCancel})) {
        case MsgAnswer::Yes:
            // Locked, the changes are sealed: the password opens them for the save.
            while (locked_) {
                std::optional<std::string> typed = ui_.DecryptionPassword(
                    std::string(msg::kDecryptionPasswordTitle) + msg::kForFile + title_, "");
                if (!typed)
                    return false;
                SecretText password(std::move(*typed));
                SecureWipe(*typed);
                Unlock(password.Get());
            }
            return Save();
        case MsgAnswer::No:
            return true;
        default:
            return false;
    }
}

void DocumentModel::Close() {
    if (!host_)
        return;
    const std::string shown = host_->CurrentCategoryText();
    if (!shown.empty()) {
        profile_.WriteText(prefs::kGeneralSection, prefs::kLastSelectedCatg, shown);
    }
    host_->RemoveSearchResultsEntry();
}

bool DocumentModel::AutoSave() {
    // A document that has no file yet, or whose file was read only in part, is passed over:
    // a Save As chooser opening by itself at every tick would interrupt whatever the user is
    // doing. The document stays modified, so closing it still asks.
    if (!modified_ || path_.empty() || readOnly_ || locked_)
        return true;
    return WriteDocument(path_, SaveKind::Automatic) != Written::No;
}

void DocumentModel::DropCards() {
    undo_.Clear();
    WipeCardTexts(*cards_);
    retired_ = std::move(cards_);
    cards_ = std::make_unique<CCardCollection>();
    SecureWipe(state_.encryptionPassword);
    SecureWipe(state_.checkValue.data(), state_.checkValue.size());
}

bool DocumentModel::Lock(std::vector<CardDraft> drafts, std::vector<MessageRequest>* why,
                         const std::function<void()>& beforeDrop) {
    struct WipeDrafts {
        std::vector<CardDraft>& drafts;
        ~WipeDrafts() {
            for (CardDraft& d : drafts)
                WipeDraft(d);
        }
    } wipeDrafts{drafts};
    const LockStep step = DecideLockStep(
        LockFacts{state_.encryptOnSave, locked_, modified_, !path_.empty(), !drafts.empty()});
    if (step == LockStep::Skip)
        return false;
    if (step == LockStep::Seal) {
        std::vector<MessageRequest> reasons;
        std::optional<std::vector<std::uint8_t>> sealed;
        if (state_.encryptionPassword.empty()) {
            reasons.push_back(PlainNotice(msg::kPasswordNotSet));
        } else {
            // A sealed file's own key settings; any other file's those new seals get.
            const SealSettings settings = state_.sealed ? state_.seal : NewSealSettings();
            sealed = SealChanges(*cards_, state_.headerValue18, drafts, state_.encryptionPassword,
                                 settings, WriteRequestFor(ui_).whileBusy, reasons);
        }
        if (!sealed) {
            if (why)
                *why = std::move(reasons);
            return false;
        }
        sealedChanges_ = std::move(sealed);
    }
    if (beforeDrop)
        beforeDrop();
    DropCards();
    locked_ = true;
    if (events_.lockChanged)
        events_.lockChanged(true);
    return true;
}

bool DocumentModel::UnlockSealed(const std::string& password) {
    LockedText typed(password);
    UnsealedChanges opened =
        UnsealChanges(*sealedChanges_, typed, DateFormatIndex(profile_),
                      ReadRequestFor({ui_, DateFormatIndex(profile_), title_, ""}).whileBusy);
    switch (opened.status) {
        case UnsealStatus::Opened:
            break;
        case UnsealStatus::WrongPassword:
            ui_.Message(PlainNotice(msg::kPasswordNotCorrect));
            return false;
        case UnsealStatus::OutOfMemory:
        case UnsealStatus::Unreadable:
            ui_.Message(PlainNotice(msg::kOutOfMemory));
            return false;
    }
    cards_ = std::move(opened.cards);
    retired_.reset();
    drafts_ = std::move(opened.drafts);
    state_.encryptionPassword = std::move(typed);
    sealedChanges_.reset();
    locked_ = false;
    // Still unsaved: the modified flag stays as it was.
    if (events_.lockChanged)
        events_.lockChanged(false);
    return true;
}

bool DocumentModel::Unlock(const std::string& password) {
    if (!locked_)
        return true;
    if (sealedChanges_)
        return UnlockSealed(password);
    RemoveSaveLeftovers(path_);
    FileError error;
    const std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(path_, error);
    if (!data) {
        ShowFrameworkError(ui_, std::string(msg::kFailedToOpen) + "\n" + error.what);
        return false;
    }
    // Opening a sealed file takes a moment, shown as with any other opening. The password
    // typed on the lock is the one answer; asked again, the user cancels.
    ReadRequest request = ReadRequestFor({ui_, DateFormatIndex(profile_), FileTitleOf(path_), ""});
    bool asked = false;
    request.askPassword = [&password, &asked](const std::string&, const std::string&) {
        if (asked)
            return std::optional<std::string>();
        asked = true;
        return std::optional<std::string>(password);
    };
    ReadResult read = ReadDataFile(*data, request);
    TellAll(ui_, read.messages);
    if (!read.ok)
        return false;
    retired_.reset();
    TakeReadFile(std::move(read.cards), read.state, *data);
    if (events_.lockChanged)
        events_.lockChanged(false);
    return true;
}

bool DocumentModel::WriteNewEncryptedFile(const std::string& path) {
    if (locked_)
        return false;
    // The handheld's conduit reads this file: it stays in the compatible layout.
    state_.sealed = false;
    SetEncryptOnSave(true);
    // Without a password there is nothing to encrypt with; a file holding only an
    // encrypted header could never be opened, so the file is left as it is.
    if (state_.encryptionPassword.empty())
        return false;
    const OlderLayoutLosses losses = LossesInOlderLayout(*cards_);
    if (losses.Any() && AskAboutOlderLayout(ui_, losses, FileTitleOf(path), false) !=
                            OlderLayoutChoice::SaveWithout) {
        return false;
    }
    std::optional<std::vector<std::uint8_t>> bytes = BuildDataFileWithUser(*cards_, state_, ui_);
    if (!bytes)
        return false;
    std::optional<DataFileLock> lock = DataFileLock::Acquire(path);
    if (!lock) {
        ShowFrameworkError(ui_, BusyFileMessage(FileTitleOf(path)));
        return false;
    }
    // The set-up may have made the file empty: WriteBytes makes it a new data file,
    // owner-only.
    if (!WriteBytes(path, *bytes, lock))
        return false;
    SetModified(false);
    return true;
}

}  // namespace tessaline
