#include "gui/prefs/generate_password_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/platform/user_answers.h"
#include "core/prefs/generator_rules.h"
#include "core/prefs/password_generator.h"
#include "gui/prefs/secret_clipboard.h"

namespace tessaline {

CGeneratorLengthBox::CGeneratorLengthBox(QWidget* parent) : QSpinBox(parent) {
    setRange(0, kGeneratorTypedMax);
    setObjectName("1081");
}

void CGeneratorLengthBox::stepBy(int steps) {
    setValue(StepGeneratorLength(value(), steps));
    selectAll();
}

CGeneratePasswordDialog::CGeneratePasswordDialog(IUserAnswers& ui, SecretClipboard& clipboard,
                                                 int clearSeconds, QWidget* parent)
    : QDialog(parent), ui_(ui), clipboard_(clipboard), clearSeconds_(clearSeconds) {
    setWindowTitle("Generate Password");
    setObjectName("GeneratePasswordDialog");

    auto* params = new QGroupBox("Parameters", this);
    auto* grid = new QGridLayout(params);
    grid->addWidget(new QLabel("Length:", params), 0, 0);
    length_ = new CGeneratorLengthBox(params);
    length_->setValue(kGeneratorStartLength);
    grid->addWidget(length_, 0, 1);
    grid->addWidget(new QLabel("Use:", params), 1, 0);
    upper_ = new QCheckBox("Uppercase", params);
    lower_ = new QCheckBox("Lowercase", params);
    numbers_ = new QCheckBox("Numbers", params);
    others_ = new QCheckBox("Others", params);
    upper_->setObjectName("1077");
    lower_->setObjectName("1078");
    numbers_->setObjectName("1079");
    others_->setObjectName("1080");
    upper_->setChecked(true);
    lower_->setChecked(true);
    numbers_->setChecked(true);
    grid->addWidget(upper_, 1, 1);
    grid->addWidget(lower_, 1, 2);
    grid->addWidget(numbers_, 2, 1);
    grid->addWidget(others_, 2, 2);
    grid->addWidget(new QLabel("Password:", params), 3, 0);
    passwordEdit_ = new QLineEdit(params);
    passwordEdit_->setObjectName("1084");
    passwordEdit_->setReadOnly(true);
    grid->addWidget(passwordEdit_, 3, 1, 1, 2);

    new_ = new QPushButton("New", this);
    toClipboard_ = new QPushButton("To Clipboard", this);
    use_ = new QPushButton("Use", this);
    auto* cancel = new QPushButton("Cancel", this);
    use_->setDefault(true);
    new_->setAutoDefault(false);
    toClipboard_->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {new_, toClipboard_, use_, cancel})
        buttons->addWidget(b);
    buttons->addStretch();

    // The hint runs under the whole dialog, which grows to show it.
    hint_ = new QLabel(this);
    hint_->setObjectName("generatorHint");
    hint_->setWordWrap(true);
    hint_->setVisible(false);
    auto* row = new QHBoxLayout;
    row->addWidget(params, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(hint_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(new_, &QPushButton::clicked, this, &CGeneratePasswordDialog::Regenerate);
    for (QCheckBox* box : {upper_, lower_, numbers_, others_})
        connect(box, &QCheckBox::clicked, this, &CGeneratePasswordDialog::Regenerate);
    connect(toClipboard_, &QPushButton::clicked, this,
            &CGeneratePasswordDialog::CopyPasswordToClipboard);
    connect(use_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(length_, &QSpinBox::valueChanged, this, &CGeneratePasswordDialog::UpdateButtons);
    for (QCheckBox* box : {upper_, lower_, numbers_, others_})
        connect(box, &QCheckBox::toggled, this, &CGeneratePasswordDialog::UpdateButtons);
    UpdateButtons();
}

void CGeneratePasswordDialog::SetActiveList(bool hasSelection, const QString& selectorText) {
    useOffered_ = GeneratorUseEnabled(hasSelection, selectorText.toStdString());
    UpdateButtons();
    Regenerate();
}

void CGeneratePasswordDialog::UpdateButtons() {
    const bool anyClass =
        upper_->isChecked() || lower_->isChecked() || numbers_->isChecked() || others_->isChecked();
    const std::optional<std::string> hint = GeneratorHint(length_->value(), anyClass);
    hint_->setText(hint ? QString::fromStdString(*hint) : QString());
    hint_->setVisible(hint.has_value());
    new_->setEnabled(!hint);
    use_->setEnabled(useOffered_ && !hint);
}

void CGeneratePasswordDialog::Regenerate() {
    length_->interpretText();
    // A length the generator cannot make is refused where it was typed (see the hint);
    // the password shown stays the one "To Clipboard" and "Use" would take.
    if (length_->value() > kMaxGeneratedLength)
        return;
    PasswordClasses classes{upper_->isChecked(), lower_->isChecked(), numbers_->isChecked(),
                            others_->isChecked()};
    auto generated = GenerateRandomPassword(classes, GeneratorLength(length_->value()));
    password_ = generated ? QString::fromStdString(*generated) : QString();
    passwordEdit_->setText(password_);
}

void CGeneratePasswordDialog::accept() {
    if (!use_->isEnabled())
        return;
    if (confirmUse && !confirmUse())
        return;
    QDialog::accept();
}

void CGeneratePasswordDialog::CopyPasswordToClipboard() {
    if (!clipboard_.Put(password_, clearSeconds_)) {
        ui_.Message(MessageRequest{kUnableToSetClipboard, MsgCaption::Application, MsgIcon::None,
                                   MsgButtons::Ok});
        return;
    }
    emit PasswordCopied();
}

}  // namespace tessaline
