#pragma once
// "Generate Password": random passwords from chosen character classes, copied to the
// clipboard or used as the selected card's password.

#include <QDialog>
#include <QSpinBox>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaline {

class IUserAnswers;
class SecretClipboard;

// The length box: the arrows step from 0 to 15 and wrap around; larger lengths can be
// typed (above 63 the dialog refuses them with a hint).
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

signals:
    // "To Clipboard" put the password on the clipboard.
    void PasswordCopied();

private:
    // Greys "New" and "Use" and shows the hint while no password can be made.
    void UpdateButtons();

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
    bool useOffered_ = true;  // by the active list: a card selected in a fitting category
};

}  // namespace tessaline
