#pragma once
// "Set up one-time code": takes a base32 secret or an otpauth:// address, shows the
// address the card will keep, its current code and its QR code for a phone's
// authenticator app. A bare secret is named after the card (its name and user ID).

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaline {

class COneTimeCodeSetupDialog : public QDialog {
    Q_OBJECT
public:
    // current: the card's field now; issuer and account: the card's name and user ID.
    COneTimeCodeSetupDialog(const std::string& current, const QString& issuer,
                            const QString& account, QWidget* parent = nullptr);
    ~COneTimeCodeSetupDialog() override;

    // The field the card keeps after OK: an otpauth:// address, or empty to remove it.
    const std::string& Field() const { return field_; }
    // The modules across the QR code shown (0 when none is).
    int QrWidth() const { return qrWidth_; }

    QLineEdit* SecretEdit() { return secret_; }
    QLineEdit* AddressEdit() { return address_; }
    QLabel* CodeLabel() { return code_; }
    QLabel* QrLabel() { return qr_; }
    QLabel* ErrorLabel() { return error_; }
    QPushButton* OkButton() { return ok_; }

private:
    void Update();

    std::string issuer_, account_;
    std::string field_;
    int qrWidth_ = 0;
    QLineEdit* secret_;
    QLineEdit* address_;
    QLabel* code_;
    QLabel* qr_;
    QLabel* error_;
    QPushButton* ok_;
};

}  // namespace tessaline
