#pragma once
// "Generate Password": random passwords from chosen character classes, or passphrases of
// words from the EFF word list, copied to the clipboard or used as the selected card's
// password.

#include <QDialog>
#include <QSpinBox>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessaline {

class CStrengthMeter;
class IUserAnswers;
class SecretClipboard;

// The length box: the arrows step from 0 to 63 and wrap around; larger lengths can be
// typed (the dialog refuses them with a hint).
class CGeneratorLengthBox : public QSpinBox {
    Q_OBJECT
public:
    explicit CGeneratorLengthBox(QWidget* parent = nullptr);
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

class CGeneratePasswordDialog : public QDialog {
    Q_OBJECT
public:
    CGeneratePasswordDialog(IUserAnswers& ui, SecretClipboard& clipboard, int clearSeconds,
                            QWidget* parent = nullptr);

    // The active card list: whether a card is selected and what the selector shows.
    // Decides "Use" and generates the first password. Without a list, "Use" stays
    // enabled and the password empty until "New".
    void SetActiveList(bool hasSelection, const QString& selectorText);

    // The password as last generated.
    QString Password() const { return password_; }

    void Regenerate();
    void CopyPasswordToClipboard();

    // Asked when "Use" is pressed; false keeps the dialog open (the user did not want the
    // card's password replaced). Unset: "Use" always closes.
    std::function<bool()> confirmUse;
    void accept() override;

    QSpinBox* LengthBox() { return length_; }
    QCheckBox* UpperBox() { return upper_; }
    QCheckBox* LowerBox() { return lower_; }
    QCheckBox* NumbersBox() { return numbers_; }
    QCheckBox* OthersBox() { return others_; }
    QLineEdit* PasswordEdit() { return passwordEdit_; }
    QPushButton* NewButton() { return new_; }
    QPushButton* ToClipboardButton() { return toClipboard_; }
    QPushButton* UseButton() { return use_; }
    // Why no password can be made now ("" and hidden when one can).
    QLabel* HintLabel() { return hint_; }
    // Characters or a passphrase; the passphrase's words and separator.
    QRadioButton* CharactersChoice() { return characters_; }
    QRadioButton* PassphraseChoice() { return passphrase_; }
    QSpinBox* WordsBox() { return words_; }
    QLineEdit* SeparatorEdit() { return separator_; }
    // The randomness the settings give, beside the length or the word count ("131 bits").
    QLabel* SettingsBitsLabel() { return settingsBits_; }
    // Under the password: its strength as the estimator sees it.
    CStrengthMeter* StrengthMeter() { return strength_; }

signals:
    // "To Clipboard" put the password on the clipboard.
    void PasswordCopied();

private:
    // Greys "New" and "Use" and shows the hint while no password can be made; shows the
    // randomness of the settings.
    void UpdateButtons();
    bool PassphraseChosen() const;
    // The word list, read when a passphrase is first asked for; nothing (and the reason in
    // wordListError_) when it is missing.
    const std::vector<std::string>* WordList();
    void ShowPassword(const QString& password);

    IUserAnswers& ui_;
    SecretClipboard& clipboard_;
    int clearSeconds_;
    QString password_;
    CGeneratorLengthBox* length_;
    QCheckBox* upper_;
    QCheckBox* lower_;
    QCheckBox* numbers_;
    QCheckBox* others_;
    QLineEdit* passwordEdit_;
    QPushButton* new_;
    QPushButton* toClipboard_;
    QPushButton* use_;
    QLabel* hint_;
    QRadioButton* characters_;
    QRadioButton* passphrase_;
    QSpinBox* words_;
    QLineEdit* separator_;
    QLabel* settingsBits_;
    CStrengthMeter* strength_;
    std::optional<std::vector<std::string>> wordList_;
    std::string wordListError_;
    bool wordListTried_ = false;
    bool useOffered_ = true;  // by the active list: a card selected in a fitting category
};

}  // namespace tessaline
