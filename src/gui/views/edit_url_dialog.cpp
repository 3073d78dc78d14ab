#include "gui/views/edit_url_dialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tessaline {

CEditURLDialog::CEditURLDialog(QWidget* parent) : QDialog(parent), edit_(new QPlainTextEdit(this)) {
    setWindowTitle("Edit URL");
    setObjectName("EditURLDialog");
    edit_->setObjectName("1063");
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_->setMinimumSize(420, 60);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
}

void CEditURLDialog::SetText(const QString& text) {
    edit_->setPlainText(text);
}

QString CEditURLDialog::Text() const {
    QString text = edit_->toPlainText();
    text.remove(QChar('\n'));
    text.remove(QChar('\r'));
    return text;
}

}  // namespace tessaline
