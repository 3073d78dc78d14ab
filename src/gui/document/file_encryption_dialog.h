#pragma once
// Switches encryption on or off and takes a new password twice. Clearing the box makes
// both edits read-only, empties them and shrinks the window by 100 pixels, hiding the
// "Important" note; checking it again makes them writable and restores the full size.
// Fields that cannot be typed into are disabled and look it; ticked, the first entry has
// the focus. The entries always start empty: a password set before is never shown again.
// When the document has one, a hint under the entries says that leaving both empty keeps
// it.
// The caller applies the password rules on OK: a refused pair keeps the dialog open with
// both entries emptied and the first one focused, so that nothing else is lost.
// Two choices under the entries pick the encrypted layout: sealed, or compatible with
// older readers.

#include <QDialog>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QPushButton;

namespace tessaline {

class CShowPasswordButton;

class CFileEncryptionDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kShrink = 100;

    explicit CFileEncryptionDialog(QWidget* parent = nullptr);

    // The starting state, set before the dialog is shown.
    void SetEncryptOnSave(bool on);
    void SetEntries(const QString& first, const QString& second);
    void SetSealed(bool sealed);
    // The document has a password, which entries left empty keep: the hint shows.
    void SetHasPassword(bool has);

    bool EncryptOnSave() const;
    QString FirstEntry() const;
    QString SecondEntry() const;
    bool Sealed() const;

    int FullWidth() const { return fullWidth_; }
    int FullHeight() const { return fullHeight_; }

    QCheckBox* EncryptBox() const { return box_; }
    QLineEdit* FirstEdit() const { return first_; }
    QLineEdit* SecondEdit() const { return second_; }
    QRadioButton* SealedChoice() const { return sealed_; }
    QRadioButton* CompatibleChoice() const { return compatible_; }
    CShowPasswordButton* ShowButton() const { return show_; }
    QPushButton* AboutKeysButton() const { return aboutKeys_; }
    QLabel* KeepPasswordHint() const { return keepHint_; }

    // Asked on OK while "Encrypt On Save" is checked: true takes the entries; false (after
    // telling the user why) keeps the dialog open for a new try. Unset: OK always closes.
    std::function<bool(const QString& first, const QString& second)> acceptEntries;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

signals:
    // The About Keys dialog was opened (it is modal; tests close it through this).
    void AboutKeysOpened(QDialog* dialog);

private:
    void ApplyBoxState(bool clearEntries);
    void OnBoxClicked();
    void OnAboutKeys();
    // Sizes the window for the controls shown now.
    void FitToContent();

    QWidget* content_;
    QCheckBox* box_;
    QLineEdit* first_;
    QLineEdit* second_;
    QLabel* keepHint_;
    QRadioButton* sealed_;
    QRadioButton* compatible_;
    CShowPasswordButton* show_;
    QPushButton* aboutKeys_;
    int fullWidth_ = 0;
    int fullHeight_ = 0;
};

}  // namespace tessaline
