#pragma once
// The card editor: the four texts under the category's labels, the note and the two
// attributes. It edits only its own fields; the card commands fill it and read it back.

#include <QDialog>

#include "core/views/card_dialog_presets.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QAction;
class QComboBox;
class QToolButton;

namespace tessaline {

class CCardHistoryPage;
class CCardMoreFieldsPage;
class COneTimeCodePanel;
class CStrengthMeter;
class IUserAnswers;

class CCardDialog : public QDialog {
    Q_OBJECT
public:
    CCardDialog(IUserAnswers& ui, QWidget* parent = nullptr);
    // Accepted or cancelled, the card's texts are cleared from the fields and controls.
    ~CCardDialog() override;

    // Fills the controls; call before exec().
    void SetFields(const CardEditorFields& fields);
    // The fields as the user left them (note line ends as they will be stored).
    CardEditorFields Fields() const;

    QLineEdit* NameEdit() { return name_; }
    QLineEdit* AddressEdit() { return address_; }
    QLineEdit* UserIdEdit() { return userId_; }
    QLineEdit* PasswordEdit() { return password_; }
    QPlainTextEdit* NoteEdit() { return note_; }
    QCheckBox* NewWindowBox() { return newWindow_; }
    QCheckBox* AutoAccessBox() { return autoAccess_; }
    // Shown only for a new card from a page with a login form.
    QCheckBox* TakePagePasswordBox() { return takePagePassword_; }
    QPushButton* OkButton() { return ok_; }
    QToolButton* ShowPasswordButton() { return showPassword_; }
    // The eye in the password field that shows and masks the password.
    QAction* RevealPasswordAction() { return revealPassword_; }
    QToolButton* AddressButton() { return addressButton_; }
    QLabel* Label(int i) { return labels_[i]; }
    QLabel* CategoryLabel() { return category_; }
    // The current one-time code and its "Set up one-time code..." button.
    COneTimeCodePanel* OneTimeCode() { return oneTimeCode_; }
    // Under the password: its strength.
    CStrengthMeter* StrengthMeter() { return strength_; }
    // Shown instead of the category's name when the editor asks for the category.
    QComboBox* CategoryChoice() { return categoryChoice_; }
    // The menu the last show-password or address click opened (nullptr when none).
    QMenu* LastMenu() { return lastMenu_; }
    // The pages: the card's fields, the optional fields and (editing a card) its history.
    QTabWidget* Pages() { return pages_; }
    CCardMoreFieldsPage* MorePage() { return more_; }
    CCardHistoryPage* HistoryPage() { return history_; }

    // Restore on the History page: the dialog ends accepted with Fields().restoreVersion
    // set, after asking when the user changed fields here that would then not be kept.
    void OnRestoreVersion(int version);

    void OnShowPassword();
    void OnAddressMenu();
    void OnEditUrl();
    void OnSelectFile();
    // "Set up one-time code": OK puts what it made into the card's field.
    void OnSetUpOneTimeCode();
    // The user chose another category for the new card.
    void OnCategoryChosen(const QString& name);

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QMenu* NewMenu();

    IUserAnswers& ui_;
    CardEditorFields fields_;
    QLabel* category_;
    QComboBox* categoryChoice_;
    QLabel* labels_[4];
    QLineEdit* name_;
    QLineEdit* address_;
    QLineEdit* userId_;
    QLineEdit* password_;
    QPlainTextEdit* note_;
    QCheckBox* newWindow_;
    QCheckBox* autoAccess_;
    QCheckBox* takePagePassword_;
    QPushButton* ok_;
    QToolButton* showPassword_;
    QAction* revealPassword_;  // the eye in the password field
    QToolButton* addressButton_;
    COneTimeCodePanel* oneTimeCode_;
    CStrengthMeter* strength_;
    QMenu* lastMenu_ = nullptr;
    QTabWidget* pages_;
    CCardMoreFieldsPage* more_;
    CCardHistoryPage* history_;
    std::optional<int> restoreVersion_;
};

}  // namespace tessaline
