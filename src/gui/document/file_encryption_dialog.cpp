#include "gui/document/file_encryption_dialog.h"

#include <algorithm>

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/base/message_texts.h"
#include "gui/document/about_keys_dialog.h"
#include "gui/document/show_password_button.h"

namespace tessaline {

namespace {
constexpr int kMargin = 11;
constexpr int kSpacing = 6;
constexpr int kContentWidth = 440;
const char* const kImportant =
    "Remember this key well. You need this key to decipher the file later. If you loose or "
    "forget this key, you will no longer be able to access the file.Your data will be lost "
    "forever!";
}  // namespace

CFileEncryptionDialog::CFileEncryptionDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("File Encryption"));
    // Stays above every window that is not topmost itself.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    // The controls live on one panel of fixed size; the window shows all of it, or all
    // but its bottom 100 pixels, where the "Important" note sits.
    content_ = new QWidget(this);
    auto* layout = new QVBoxLayout(content_);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kSpacing);

    auto* passwordGroup = new QGroupBox(QStringLiteral("Enter Password"), content_);
    auto* grid = new QGridLayout(passwordGroup);
    box_ = new QCheckBox(QStringLiteral("Encrypt On Save"), passwordGroup);
    box_->setObjectName(QStringLiteral("check1046"));
    auto* icon = new QLabel(passwordGroup);
    // The key picture of the Set Password button, when the program's pictures are linked in.
    const QString keyIcon = QStringLiteral(":/icons/set_password.svg");
    icon->setPixmap((QFile::exists(keyIcon) ? QIcon(keyIcon)
                                            : style()->standardIcon(QStyle::SP_DialogApplyButton))
                        .pixmap(32, 32));
    first_ = new QLineEdit(passwordGroup);
    first_->setObjectName(QStringLiteral("edit1002"));
    first_->setEchoMode(QLineEdit::Password);
    second_ = new QLineEdit(passwordGroup);
    second_->setObjectName(QStringLiteral("edit1003"));
    second_->setEchoMode(QLineEdit::Password);
    show_ = new CShowPasswordButton(first_, passwordGroup);
    show_->setObjectName(QStringLiteral("button1049"));
    auto* firstLabel =
        new QLabel(QStringLiteral("Enter your password (key) below:"), passwordGroup);
    auto* secondLabel =
        new QLabel(QStringLiteral("Enter your password (key) again:"), passwordGroup);
    firstLabel->setBuddy(first_);
    secondLabel->setBuddy(second_);
    grid->addWidget(box_, 0, 0);
    grid->addWidget(icon, 0, 1, Qt::AlignRight);
    grid->addWidget(firstLabel, 1, 0, 1, 2);
    grid->addWidget(first_, 2, 0);
    grid->addWidget(show_, 2, 1);
    grid->addWidget(secondLabel, 3, 0, 1, 2);
    grid->addWidget(second_, 4, 0);
    keepHint_ = new QLabel(QString::fromLatin1(msg::kKeepPasswordHint), passwordGroup);
    keepHint_->setObjectName(QStringLiteral("keepPasswordHint"));
    keepHint_->setVisible(false);
    grid->addWidget(keepHint_, 5, 0, 1, 2);
    sealed_ = new QRadioButton(QStringLiteral("Sealed (recommended)"), passwordGroup);
    sealed_->setObjectName(QStringLiteral("radioSealed"));
    compatible_ = new QRadioButton(
        QStringLiteral("Compatible with older readers (weaker, at most about 500 cards)"),
        passwordGroup);
    compatible_->setObjectName(QStringLiteral("radioCompatible"));
    sealed_->setChecked(true);
    grid->addWidget(sealed_, 6, 0, 1, 2);
    grid->addWidget(compatible_, 7, 0, 1, 2);
    layout->addWidget(passwordGroup);

    auto* buttonRow = new QHBoxLayout;
    aboutKeys_ = new QPushButton(QStringLiteral("About Keys"), content_);
    aboutKeys_->setObjectName(QStringLiteral("button1048"));
    aboutKeys_->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), content_);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), content_);
    cancel->setAutoDefault(false);
    buttonRow->addWidget(aboutKeys_);
    buttonRow->addStretch(1);
    buttonRow->addWidget(ok);
    buttonRow->addWidget(cancel);
    layout->addLayout(buttonRow);

    auto* important = new QGroupBox(QStringLiteral("Important"), content_);
    auto* importantLayout = new QVBoxLayout(important);
    auto* note = new QLabel(QString::fromLatin1(kImportant), important);
    note->setObjectName(QStringLiteral("static1050"));
    note->setWordWrap(true);
    importantLayout->addWidget(note);
    // The spacing above, the note and the bottom margin are exactly the part that hides.
    important->setFixedHeight(kShrink - kSpacing - kMargin);
    layout->addWidget(important);

    // Wide enough for the longest choice, whose text must show whole.
    content_->setFixedWidth(std::max(kContentWidth, layout->minimumSize().width()));
    content_->move(0, 0);
    FitToContent();

    connect(box_, &QCheckBox::clicked, this, &CFileEncryptionDialog::OnBoxClicked);
    connect(aboutKeys_, &QPushButton::clicked, this, &CFileEncryptionDialog::OnAboutKeys);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ApplyBoxState(false);
}

void CFileEncryptionDialog::FitToContent() {
    content_->adjustSize();
    fullWidth_ = content_->width();
    fullHeight_ = content_->height();
}

void CFileEncryptionDialog::SetHasPassword(bool has) {
    keepHint_->setVisible(has);
    FitToContent();
    ApplyBoxState(false);
}

void CFileEncryptionDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Ticked, the dialog is there for the password: typing goes into the first entry.
    if (box_->isChecked())
        first_->setFocus(Qt::OtherFocusReason);
}

void CFileEncryptionDialog::SetEncryptOnSave(bool on) {
    box_->setChecked(on);
    ApplyBoxState(false);
}

void CFileEncryptionDialog::SetEntries(const QString& first, const QString& second) {
    first_->setText(first);
    second_->setText(second);
}

void CFileEncryptionDialog::SetSealed(bool sealed) {
    (sealed ? sealed_ : compatible_)->setChecked(true);
}

bool CFileEncryptionDialog::Sealed() const {
    return sealed_->isChecked();
}

bool CFileEncryptionDialog::EncryptOnSave() const {
    return box_->isChecked();
}
QString CFileEncryptionDialog::FirstEntry() const {
    return first_->text();
}
QString CFileEncryptionDialog::SecondEntry() const {
    return second_->text();
}

void CFileEncryptionDialog::ApplyBoxState(bool clearEntries) {
    const bool on = box_->isChecked();
    // Read-only and greyed: a field that takes no typing must not look as if it did.
    first_->setReadOnly(!on);
    second_->setReadOnly(!on);
    first_->setEnabled(on);
    second_->setEnabled(on);
    show_->setEnabled(on);
    keepHint_->setEnabled(on);
    sealed_->setEnabled(on);
    compatible_->setEnabled(on);
    setFixedSize(fullWidth_, on ? fullHeight_ : fullHeight_ - kShrink);
    if (!on && clearEntries) {
        first_->clear();
        second_->clear();
    }
    if (on && isVisible())
        first_->setFocus();
}

void CFileEncryptionDialog::accept() {
    if (box_->isChecked() && acceptEntries && !acceptEntries(first_->text(), second_->text())) {
        first_->clear();
        second_->clear();
        first_->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::accept();
}

void CFileEncryptionDialog::OnBoxClicked() {
    ApplyBoxState(true);
}

void CFileEncryptionDialog::OnAboutKeys() {
    CAboutKeysDialog dialog(this);
    emit AboutKeysOpened(&dialog);
    dialog.exec();
}

}  // namespace tessaline
