#include "gui/app/child_frame.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLineEdit>
#include <QStackedWidget>

#include "core/cards/categories.h"
#include "core/views/card_commands.h"
#include "gui/app/frame_icons.h"
#include "gui/app/lock_panel.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_edit_commands.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

CChildFrame::CChildFrame(std::unique_ptr<CTessalineNewDoc> doc, IProfile& profile, QWidget* parent)
    : QMdiSubWindow(parent), doc_(std::move(doc)) {
    setAttribute(Qt::WA_DeleteOnClose);
    pages_ = new QStackedWidget(this);
    view_ = new CTessalineNewView(*doc_, profile, pages_);
    lockPanel_ = new CLockPanel(pages_);
    pages_->addWidget(view_);
    pages_->addWidget(lockPanel_);
    setWidget(pages_);
    setFocusProxy(view_);
    connect(doc_.get(), &CTessalineNewDoc::TitleChanged, this, [this] { UpdateTitle(); });
    connect(doc_.get(), &CTessalineNewDoc::ModifiedChanged, this,
            [this](bool modified) { setWindowModified(modified); });
    connect(doc_.get(), &CTessalineNewDoc::LockChanged, this, &CChildFrame::OnLockChanged);
    connect(lockPanel_, &CLockPanel::UnlockRequested, this, [this](const QString& password) {
        if (!doc_->Unlock(password))
            lockPanel_->Reset();
    });
    // A read-only document that was saved under another name is read-only no longer.
    connect(doc_.get(), &CTessalineNewDoc::PathChanged, this, [this] { UpdateTitle(); });
    UpdateTitle();
    ShowEncryptionIcon(doc_->EncryptionState());
}

CChildFrame::~CChildFrame() {
    // The list points into the document's cards: it goes first.
    delete view_;
    view_ = nullptr;
}

void CChildFrame::UpdateTitle() {
    // "[*]" shows "*" while the document has unsaved changes.
    QString title = doc_->ShownTitle();
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    // Maximised, the main window's title names the document; a title here would make the
    // area add "- [NAME]" to it a second time.
    setWindowTitle(isMaximized() ? QString() : title + QStringLiteral("[*]"));
    setWindowModified(doc_->IsModified());
}

void CChildFrame::changeEvent(QEvent* event) {
    QMdiSubWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        UpdateTitle();
}

void CChildFrame::OnLockChanged(bool locked) {
    if (locked) {
        // A card copied from this document goes with its cards.
        CardClipboardOf(*view_).Forget();
        lockPanel_->ShowFile(doc_->Title(), doc_->PathName(), doc_->Model().HoldsSealedChanges());
        pages_->setCurrentWidget(lockPanel_);
        setFocusProxy(lockPanel_->PasswordField());
        lockPanel_->Reset();
        view_->AnnounceItemCount();
    } else {
        lockPanel_->Reset();
        // The list shows again what it showed when the document locked. Search results
        // are not kept: the list then shows the remembered category.
        const QString shown = view_->ShownCategory();
        if (shown.isEmpty() ||
            shown == QString::fromUtf8(kSearchResults.data(),
                                       static_cast<qsizetype>(kSearchResults.size())))
            doc_->UpdateAllViews();
        else
            doc_->UpdateAllViews(shown);
        pages_->setCurrentWidget(view_);
        setFocusProxy(view_);
        view_->setFocus();
    }
}

void CChildFrame::ShowEncryptionIcon(int state) {
    const int shown = state == 1 ? 1 : 0;
    if (shown == shownState_)
        return;
    shownState_ = shown;
    setWindowIcon(
        QIcon(QString::fromUtf8(shown == 1 ? kEncryptedDocumentIconPath : kPlainDocumentIconPath)));
    UpdateTitle();
}

void CChildFrame::CloseWithoutAsking() {
    closing_ = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!closing_ && !doc_->SaveModified()) {
        event->ignore();
        return;
    }
    closing_ = true;
    doc_->OnCloseDocument();
    emit DocumentClosed(this);
    QMdiSubWindow::closeEvent(event);
}

}  // namespace tessaline
