#include "gui/document/tessaline_doc.h"

#include "core/base/message_texts.h"
#include "gui/text/text_codec.h"

namespace tessaline {

CTessalineNewDoc::CTessalineNewDoc(IUserAnswers& ui, IProfile& profile, IDocumentHost* host,
                                   QObject* parent)
    : QObject(parent), model_(ui, profile, host) {
    DocumentEvents events;
    events.modifiedChanged = [this](bool modified) { emit ModifiedChanged(modified); };
    events.titleChanged = [this](const std::string& title) {
        emit TitleChanged(QString::fromStdString(title));
    };
    events.pathChanged = [this](const std::string& path) {
        emit PathChanged(QString::fromStdString(path));
    };
    events.encryptionChanged = [this](int state) { emit EncryptionChanged(state); };
    events.layoutChanged = [this] { emit LayoutChanged(); };
    events.lockChanged = [this](bool locked) { emit LockChanged(locked); };
    model_.SetEvents(std::move(events));
}

CTessalineNewDoc::~CTessalineNewDoc() {
    model_.SetEvents({});
}

void CTessalineNewDoc::OnNewDocument() {
    emit CardsAboutToBeReplaced();
    model_.NewDocument();
    if (model_.Title().empty())
        model_.SetTitle(msg::kUntitled);
    emit EncryptionChanged(EncryptionState());
    UpdateAllViews();
}

bool CTessalineNewDoc::OnOpenDocument(const QString& path, const QString& passwordPrefill) {
    // A successful open replaces the collection the views' rows point into.
    emit CardsAboutToBeReplaced();
    const bool opened = model_.Open(path.toStdString(), StoredText(passwordPrefill));
    UpdateAllViews();
    return opened;
}

bool CTessalineNewDoc::OnFileSave() {
    return model_.Save();
}

bool CTessalineNewDoc::OnFileSaveAs() {
    return model_.SaveAs();
}

void CTessalineNewDoc::OnEncryptOnSave() {
    model_.EncryptOnSave();
}

bool CTessalineNewDoc::AutoSave() {
    return model_.AutoSave();
}

bool CTessalineNewDoc::SaveModified() {
    return model_.SaveModified();
}

void CTessalineNewDoc::OnCloseDocument() {
    model_.Close();
}

LockOutcome CTessalineNewDoc::Lock(std::vector<CardDraft> drafts, std::string* why) {
    return LockDocument(
        model_, std::move(drafts), [this] { emit CardsAboutToBeReplaced(); }, why);
}

bool CTessalineNewDoc::Unlock(const QString& password) {
    SecretText typed(PasswordBytes(password));
    return model_.Unlock(typed.Get());
}

QString CTessalineNewDoc::PathName() const {
    return QString::fromStdString(model_.PathName());
}

QString CTessalineNewDoc::LayoutText() const {
    return QString::fromLatin1(FileLayoutText(model_.Layout()));
}

QString CTessalineNewDoc::Title() const {
    return QString::fromStdString(model_.Title());
}

QString CTessalineNewDoc::ShownTitle() const {
    return IsReadOnly() ? Title() + QStringLiteral(" (read-only)") : Title();
}

void CTessalineNewDoc::SetTitle(const QString& title) {
    model_.SetTitle(title.toStdString());
}

void CTessalineNewDoc::UpdateAllViews() {
    emit ViewsNeedUpdate();
}

void CTessalineNewDoc::UpdateAllViews(const QString& hint) {
    emit ViewsNeedUpdateTo(hint);
}

}  // namespace tessaline
