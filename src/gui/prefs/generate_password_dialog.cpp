#include "gui/prefs/generate_password_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

#include "core/base/secure_wipe.h"
#include "core/platform/user_answers.h"
#include "core/prefs/generator_rules.h"
#include "core/prefs/passphrase_generator.h"
#include "core/prefs/password_generator.h"
#include "gui/health/strength_meter.h"
#include "gui/prefs/secret_clipboard.h"
#include "gui/text/text_wipe.h"

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
    grid->addWidget(new QLabel("Make:", params), 0, 0);
    characters_ = new QRadioButton("Characters", params);
    passphrase_ = new QRadioButton("Passphrase", params);
    characters_->setObjectName("charactersChoice");
    passphrase_->setObjectName("passphraseChoice");
    characters_->setChecked(true);
    grid->addWidget(characters_, 0, 1);
    grid->addWidget(passphrase_, 0, 2);
    grid->addWidget(new QLabel("Length:", params), 1, 0);
    length_ = new CGeneratorLengthBox(params);
    length_->setValue(kGeneratorStartLength);
    grid->addWidget(length_, 1, 1);
    // How many bits of randomness the settings give: the length's strength.
    settingsBits_ = new QLabel(params);
    settingsBits_->setObjectName("settingsBits");
    grid->addWidget(settingsBits_, 1, 2);
    grid->addWidget(new QLabel("Use:", params), 2, 0);
    upper_ = new QCheckBox("Uppercase", params);
    lower_ = new QCheckBox("Lowercase", params);
    numbers_ = new QCheckBox("Numbers", params);
    others_ = new QCheckBox("Others", params);
    upper_->setObjectName("1077");
    lower_->setObjectName("1078");
    numbers_->setObjectName("1079");
    others_->setObjectName("1080");
    for (QCheckBox* box : {upper_, lower_, numbers_, others_}) {
        box->setChecked(true);
        // A box is as wide as its text, so that a click beside it does not tick it.
        box->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    }
    grid->addWidget(upper_, 2, 1);
    grid->addWidget(lower_, 2, 2);
    grid->addWidget(numbers_, 3, 1);
    grid->addWidget(others_, 3, 2);
    grid->addWidget(new QLabel("Words:", params), 4, 0);
    words_ = new QSpinBox(params);
    words_->setObjectName("passphraseWords");
    words_->setRange(kPassphraseMinWords, kPassphraseMaxWords);
    words_->setValue(kDefaultPassphraseWords);
    grid->addWidget(words_, 4, 1);
    grid->addWidget(new QLabel("Separator:", params), 5, 0);
    separator_ = new QLineEdit(kDefaultPassphraseSeparator, params);
    separator_->setObjectName("passphraseSeparator");
    separator_->setMaxLength(static_cast<int>(kMaxSeparatorLength));
    grid->addWidget(separator_, 5, 1);
    grid->addWidget(new QLabel("Password:", params), 6, 0);
    passwordEdit_ = new QLineEdit(params);
    passwordEdit_->setObjectName("1084");
    passwordEdit_->setReadOnly(true);
    grid->addWidget(passwordEdit_, 6, 1, 1, 2);
    strength_ = new CStrengthMeter(params);
    grid->addWidget(strength_, 7, 1, 1, 2);

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
    connect(words_, &QSpinBox::valueChanged, this, &CGeneratePasswordDialog::UpdateButtons);
    // Choosing characters or a passphrase makes one at once, as a click on a class does.
    for (QRadioButton* choice : {characters_, passphrase_}) {
        connect(choice, &QRadioButton::toggled, this, &CGeneratePasswordDialog::UpdateButtons);
        connect(choice, &QRadioButton::clicked, this, &CGeneratePasswordDialog::Regenerate);
    }
    UpdateButtons();
}

void CGeneratePasswordDialog::SetActiveList(bool hasSelection, const QString& selectorText) {
    useOffered_ = GeneratorUseEnabled(hasSelection, selectorText.toStdString());
    UpdateButtons();
    Regenerate();
}

bool CGeneratePasswordDialog::PassphraseChosen() const {
    return passphrase_->isChecked();
}

const std::vector<std::string>* CGeneratePasswordDialog::WordList() {
    if (!wordListTried_) {
        wordListTried_ = true;
        wordList_ = LoadInstalledEffWordList(wordListError_);
    }
    return wordList_ ? &*wordList_ : nullptr;
}

void CGeneratePasswordDialog::UpdateButtons() {
    const bool phrase = PassphraseChosen();
    for (QWidget* w : std::initializer_list<QWidget*>{length_, upper_, lower_, numbers_, others_})
        w->setEnabled(!phrase);
    words_->setEnabled(phrase);
    separator_->setEnabled(phrase);
    std::optional<std::string> hint;
    double bits = 0;
    if (phrase) {
        if (!WordList())
            hint = wordListError_;
        bits = PassphraseBits(words_->value());
    } else {
        const PasswordClasses classes{upper_->isChecked(), lower_->isChecked(),
                                      numbers_->isChecked(), others_->isChecked()};
        const bool anyClass = classes.upper || classes.lower || classes.numbers || classes.others;
        hint = GeneratorHint(length_->value(), anyClass);
        bits = CharacterPasswordBits(classes, GeneratorLength(length_->value()));
    }
    // Beside what sets it: the length, or the word count.
    if (auto* grid = qobject_cast<QGridLayout*>(settingsBits_->parentWidget()->layout())) {
        grid->removeWidget(settingsBits_);
        grid->addWidget(settingsBits_, phrase ? 4 : 1, 2);
    }
    settingsBits_->setText(
        hint ? QString()
             : QString("%1 bits of randomness").arg(static_cast<int>(std::floor(bits))));
    hint_->setText(hint ? QString::fromStdString(*hint) : QString());
    hint_->setVisible(hint.has_value());
    new_->setEnabled(!hint);
    use_->setEnabled(useOffered_ && !hint);
}

void CGeneratePasswordDialog::ShowPassword(const QString& password) {
    WipeText(password_);
    password_ = password;
    passwordEdit_->setText(password_);
    strength_->SetPassword(password_);
}

void CGeneratePasswordDialog::Regenerate() {
    if (PassphraseChosen()) {
        const std::vector<std::string>* list = WordList();
        if (!list)
            return;
        std::optional<std::string> phrase =
            GeneratePassphrase(*list, words_->value(), separator_->text().toStdString());
        ShowPassword(phrase ? QString::fromStdString(*phrase) : QString());
        if (phrase)
            SecureWipe(*phrase);
        return;
    }
    length_->interpretText();
    // A length the generator cannot make is refused where it was typed (see the hint);
    // the password shown stays the one "To Clipboard" and "Use" would take.
    if (length_->value() > kMaxGeneratedLength)
        return;
    PasswordClasses classes{upper_->isChecked(), lower_->isChecked(), numbers_->isChecked(),
                            others_->isChecked()};
    auto generated = GenerateRandomPassword(classes, GeneratorLength(length_->value()));
    ShowPassword(generated ? QString::fromStdString(*generated) : QString());
    if (generated)
        SecureWipe(*generated);
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
