#include "gui/document/decrypt_password_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/document/show_password_button.h"

namespace tessaline {

namespace {
const char* const kTitle = "Decryption Password";
const char* const kPrompt = "This file is encrypted, please enter your password:";
const char* const kHandheldTitle = "Enter password";
const char* const kHandheldPrompt = "Please enter the same password as on your palm OS device";
}  // namespace

CDecryptPasswordDialog::CDecryptPasswordDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kTitle));
    prompt_ = new QLabel(QString::fromLatin1(kPrompt), this);
    prompt_->setObjectName(QStringLiteral("static1021"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("edit1071"));
    edit_->setEchoMode(QLineEdit::Password);
    edit_->setMinimumWidth(260);
    prompt_->setBuddy(edit_);
    show_ = new CShowPasswordButton(edit_, this);
    show_->setObjectName(QStringLiteral("button1061"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(prompt_, 0, 0, 1, 2);
    grid->addWidget(edit_, 1, 0);
    grid->addWidget(show_, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    edit_->setFocus();
}

void CDecryptPasswordDialog::SetCaption(const QString& caption) {
    caption_ = caption;
    ApplyTitle();
}

void CDecryptPasswordDialog::SetHandheldPromptMode(bool on) {
    handheld_ = on;
    prompt_->setText(QString::fromLatin1(on ? kHandheldPrompt : kPrompt));
    ApplyTitle();
}

void CDecryptPasswordDialog::ApplyTitle() {
    if (handheld_)
        setWindowTitle(QString::fromLatin1(kHandheldTitle));
    else
        setWindowTitle(caption_.isEmpty() ? QString::fromLatin1(kTitle) : caption_);
}

void CDecryptPasswordDialog::SetPassword(const QString& password) {
    edit_->setText(password);
    edit_->selectAll();
}

QString CDecryptPasswordDialog::Password() const {
    return edit_->text();
}

}  // namespace tessaline
