#include "document/document_model.h"

#include "document/document_host.h"
#include "document/document_messages.h"
#include "file/password_check.h"
#include "file/safe_file.h"
#include "file/secure_wipe.h"
#include "platform/profile.h"
#include "platform/user_answers.h"

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
        MessageSpec{std::move(text), MsgCaption::Application, MsgIcon::Warning, MsgButtons::Ok});
}

}  // namespace

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
            return docmsg::kLayoutCompatible;
        case FileLayout::Sealed:
            return docmsg::kLayoutSealed;
    }
    return docmsg::kLayoutPlain;
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
    const int ops = profile_.GetInt(docmsg::kGeneralSection, docmsg::kSealedKeyOperations,
                                    static_cast<int>(kDefaultSealSettings.opsLimit));
    const int kib = profile_.GetInt(docmsg::kGeneralSection, docmsg::kSealedKeyMemoryKiB,
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
    cards_ = std::make_unique<CCardCollection>();
    state_ = FileCipherState{};
    state_.seal = NewSealSettings();
    path_.clear();
    SetModified(false);
    NoteLayout();
}

void DocumentModel::RestartAutoSaveIfOn() {
    if (host_ && profile_.GetInt(docmsg::kInternetSection, docmsg::kAutomaticSaveCheck, 0) == 1) {
        host_->RestartAutoSaveTimer();
    }
}

bool DocumentModel::Open(const std::string& path, const std::string& passwordPrefill) {
    FileError error;
    const std::optional<std::vector<std::uint8_t>> data = ReadWholeFile(path, error);
    if (!data) {
        ShowFrameworkError(ui_, std::string(docmsg::kFailedToOpen) + "\n" + error.what);
        return false;
    }
    RestartAutoSaveIfOn();
    // An empty setting would match the selector's second entry; the view then shows
    // its default category, so the selector is left alone.
    const std::string last =
        profile_.GetText(docmsg::kGeneralSection, docmsg::kLastSelectedCatg, "");
    if (host_ && !last.empty())
        host_->SelectCategoryStartingWith(last);

    // Read into fresh state so that a failed open leaves this document as it was.
    auto cards = std::make_unique<CCardCollection>();
    FileCipherState state;
    const ReadRequest request{ui_, profile_, FileTitleOf(path), passwordPrefill};
    if (!ReadDataFile(*data, request, *cards, state).ok) {
        ShowFrameworkError(ui_, docmsg::kFailedToOpen);
        return false;
    }
    cards_ = std::move(cards);
    const bool encrypt = state.encryptOnSave;
    state.encryptOnSave = state_.encryptOnSave;
    // A sealed file keeps its own settings; any other file seals, if ever, with the
    // settings of the day.
    if (!state.sealed)
        state.seal = NewSealSettings();
    state_ = state;
    SetEncryptOnSave(encrypt);
    NoteLayout();
    SetModified(false);
    SetPathName(path);
    if (host_ && Layout() == FileLayout::Compatible)
        host_->ShowStatusNote(docmsg::kCompatibleNote);
    return true;
}

bool DocumentModel::WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (const std::optional<FileError> error = WriteFileSafely(path, bytes)) {
        ShowFrameworkError(ui_, std::string(docmsg::kFailedToSave) + "\n" + error->what);
        return false;
    }
    return true;
}

bool DocumentModel::SaveTo(const std::string& path) {
    RestartAutoSaveIfOn();
    const std::optional<std::vector<std::uint8_t>> bytes = BuildDataFile(*cards_, state_, ui_);
    // The writer may have sealed a file too large for the compatible layout.
    NoteLayout();
    if (!bytes || !WriteBytes(path, *bytes))
        return false;
    SetModified(false);
    return true;
}

bool DocumentModel::Save() {
    if (path_.empty())
        return SaveAs();
    return SaveTo(path_);
}

bool DocumentModel::SaveAs() {
    std::string initial = title_;
    if (EndsWith(initial, ".tse") || EndsWith(initial, ".tsf")) {
        initial.resize(initial.size() - 4);
    }
    FileDialogRequest request;
    request.defaultExtension = docmsg::kEncryptedExtension;
    request.initialName = initial;
    request.filter = docmsg::kSaveAsFilter;
    request.overwritePrompt = true;
    // A save chooser has to accept names of files that do not exist yet.
    request.mustExist = false;
    const std::optional<FileDialogAnswer> chosen = ui_.SaveFileName(request);
    if (!chosen)
        return false;

    std::string path = chosen->path;
    if (ExtensionOf(path) == docmsg::kEncryptedExtension && !state_.encryptOnSave &&
        state_.encryptionPassword.empty()) {
        const MsgAnswer answer = ui_.Message(MessageSpec{
            docmsg::kAskToEncrypt, MsgCaption::Application, MsgIcon::Question, MsgButtons::YesNo});
        if (answer == MsgAnswer::Yes) {
            EncryptOnSave();
        } else {
            ui_.MessageWithCaption(MessageSpec{docmsg::kWillNotEncrypt, MsgCaption::System,
                                               MsgIcon::Warning, MsgButtons::Ok},
                                   docmsg::kFileEncryptionCaption);
            path = WithExtension(path, "tsf");
        }
    }
    const bool saved = SaveTo(path);
    // The chosen path is the document's from now on, even when the save failed.
    SetPathName(path);
    return saved;
}

void DocumentModel::EncryptOnSave() {
    SecretText first(state_.encryptOnSave ? std::string(state_.encryptionPassword.View())
                                          : std::string());
    SecretText second(first.Get());
    // New encryption is sealed unless the user chooses otherwise; an encrypted document
    // starts with the layout it has.
    const bool sealed = state_.encryptOnSave ? state_.sealed : true;
    std::optional<FileEncryptionAnswer> answer =
        ui_.FileEncryption(state_.encryptOnSave, first.Get(), second.Get(), sealed);
    if (answer) {
        if (answer->encryptOnSave) {
            const NewPasswordVerdict verdict = AcceptNewPassword(answer->first, answer->second);
            if (verdict == NewPasswordVerdict::Accepted) {
                state_.encryptionPassword = answer->first;
                if (answer->sealed && !state_.sealed)
                    state_.seal = NewSealSettings();
                state_.sealed = answer->sealed;
                SetEncryptOnSave(true);
                NoteLayout();
                SetModified(true);
            } else {
                // A refused password changes nothing: the document keeps encrypting (or
                // not) as before, under the password it had.
                ui_.Message(MessageSpec{NewPasswordMessage(verdict), MsgCaption::Application,
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
        name = docmsg::kUntitled;
    std::string text = docmsg::kSaveChangesTo;
    text.replace(text.find("%1"), 2, name);
    switch (ui_.Message(MessageSpec{std::move(text), MsgCaption::Application, MsgIcon::Question,
                                    MsgButtons::YesNoCancel})) {
        case MsgAnswer::Yes:
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
        profile_.WriteText(docmsg::kGeneralSection, docmsg::kLastSelectedCatg, shown);
    }
    host_->RemoveSearchResultsEntry();
}

bool DocumentModel::AutoSave() {
    if (!modified_)
        return true;
    return Save();
}

bool DocumentModel::WriteNewEncryptedFile(const std::string& path) {
    // The handheld's conduit reads this file: it stays in the compatible layout.
    state_.sealed = false;
    SetEncryptOnSave(true);
    // Without a password there is nothing to encrypt with; a file holding only an
    // encrypted header could never be opened, so the file is left as it is.
    if (state_.encryptionPassword.empty())
        return false;
    const std::optional<std::vector<std::uint8_t>> bytes = BuildDataFile(*cards_, state_, ui_);
    if (!bytes || !WriteBytes(path, *bytes))
        return false;
    SetModified(false);
    return true;
}

}  // namespace tessaline
