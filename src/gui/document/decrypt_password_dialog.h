#pragma once
// Asks for the password of an encrypted file being opened, or, in the handheld wording,
// for the password of the file the handheld set-up creates.

#include <QDialog>

class QLabel;
class QLineEdit;

namespace tessaline {

class CShowPasswordButton;

class CDecryptPasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDecryptPasswordDialog(QWidget* parent = nullptr);

    // The window title ("Decryption Password for file: name.tse").
    void SetCaption(const QString& caption);
    // The handheld wording: title "Enter password" and its own prompt.
    void SetHandheldPromptMode(bool on);
    void SetPassword(const QString& password);
    QString Password() const;

    QLineEdit* PasswordEdit() const { return edit_; }
    QLabel* PromptLabel() const { return prompt_; }
    CShowPasswordButton* ShowButton() const { return show_; }

private:
    void ApplyTitle();

    QLabel* prompt_;
    QLineEdit* edit_;
    CShowPasswordButton* show_;
    QString caption_;
    bool handheld_ = false;
};

}  // namespace tessaline
