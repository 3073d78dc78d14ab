#include "app/child_frame.h"

#include <QCloseEvent>
#include <QIcon>

#include "app/frame_icons.h"
#include "document/tessaline_doc.h"
#include "views/tessaline_view.h"

namespace tessaline {

CChildFrame::CChildFrame(std::unique_ptr<CTessalineNewDoc> doc, IProfile& profile, QWidget* parent)
    : QMdiSubWindow(parent), doc_(std::move(doc)) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new CTessalineNewView(*doc_, profile, this);
    setWidget(view_);
    setFocusProxy(view_);
    connect(doc_.get(), &CTessalineNewDoc::TitleChanged, this, [this] { UpdateTitle(); });
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
    setWindowTitle(doc_->IsReadOnly() ? doc_->Title() + QStringLiteral(" (read-only)")
                                      : doc_->Title());
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
