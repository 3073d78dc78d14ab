#include "gui/views/one_time_code_setup_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/base/secure_wipe.h"
#include "core/cards/one_time_code.h"
#include "core/cards/otp_uri.h"
#include "gui/text/text_wipe.h"
#include "gui/views/qr_code.h"

namespace tessaline {

namespace {

// Pixels per QR module: large enough for a phone's camera at arm's length.
constexpr int kQrScale = 4;

}  // namespace

COneTimeCodeSetupDialog::COneTimeCodeSetupDialog(const std::string& current, const QString& issuer,
                                                 const QString& account, QWidget* parent)
    : QDialog(parent),
      issuer_(issuer.toUtf8().toStdString()),
      account_(account.toUtf8().toStdString()) {
    setWindowTitle("Set up one-time code");
    setObjectName("OneTimeCodeSetupDialog");

    secret_ = new QLineEdit(this);
    secret_->setObjectName("otpSecret");
    secret_->setPlaceholderText("otpauth://totp/... or a base32 secret");
    address_ = new QLineEdit(this);
    address_->setObjectName("otpAddress");
    address_->setReadOnly(true);
    code_ = new QLabel(this);
    code_->setObjectName("otpCode");
    error_ = new QLabel(this);
    error_->setObjectName("otpError");
    error_->setWordWrap(true);
    qr_ = new QLabel(this);
    qr_->setObjectName("otpQrCode");
    qr_->setAlignment(Qt::AlignCenter);

    auto* form = new QFormLayout;
    form->addRow("Secret or otpauth:// address:", secret_);
    form->addRow("Address kept:", address_);
    form->addRow("Current code:", code_);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok_->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(error_);
    layout->addWidget(new QLabel("Scan this with the phone's authenticator app:", this));
    layout->addWidget(qr_, 1);
    layout->addWidget(buttons);

    connect(secret_, &QLineEdit::textChanged, this, &COneTimeCodeSetupDialog::Update);
    secret_->setText(QString::fromUtf8(current.data(), static_cast<qsizetype>(current.size())));
    Update();
}

COneTimeCodeSetupDialog::~COneTimeCodeSetupDialog() {
    WipeLineEdit(*secret_);
    WipeLineEdit(*address_);
    SecureWipe(field_);
    qr_->clear();
}

void COneTimeCodeSetupDialog::Update() {
    SecureWipe(field_);
    qrWidth_ = 0;
    qr_->clear();
    code_->clear();
    WipeLineEdit(*address_);
    QByteArray typed = secret_->text().toUtf8();
    const std::string_view typedText(typed.constData(), static_cast<std::size_t>(typed.size()));
    if (!HasOtpText(typedText)) {
        // OK with nothing typed takes the secret off the card.
        error_->setText(secret_->text().isEmpty() ? QString()
                                                  : "The one-time code secret is empty.");
        ok_->setEnabled(true);
        WipeText(typed);
        return;
    }
    OtpField field = OtpFieldFromTyped(typedText, issuer_, account_);
    WipeText(typed);
    if (field.text.empty()) {
        error_->setText(QString::fromStdString(field.error));
        ok_->setEnabled(false);
        return;
    }
    error_->clear();
    ok_->setEnabled(true);
    field_ = field.text;
    QByteArray bytes = QByteArray::fromStdString(field_);
    address_->setText(QString::fromUtf8(bytes));
    const OneTimeCode code = OneTimeCodeAt(field_, QDateTime::currentSecsSinceEpoch());
    code_->setText(QString::fromStdString(code.code));
    QrMatrix matrix = MakeQrMatrix(bytes);
    WipeText(bytes);
    qrWidth_ = matrix.width;
    qr_->setPixmap(QPixmap::fromImage(QrImage(matrix, kQrScale)));
    std::fill(matrix.dark.begin(), matrix.dark.end(), false);
}

}  // namespace tessaline
