#include "gui/document/about_keys_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tessaline {

QStringList CAboutKeysDialog::InformationTexts() {
    return {
        QStringLiteral("The security of your encrypted data is determined by the key length (the "
                       "number of characters). Do not only use lowercase letters. Please use "
                       "upper- and lowercase letters, numbers (0..9) and characters like *, + "
                       "etc."),
        QStringLiteral("You may also use an entire phrase instead of a word/key. Your phrase can "
                       "be 56 characters long. Below a table with time estimates for a hardware "
                       "brute-force attack with a computer that can test a million keys per "
                       "second. "),
        QStringLiteral("Such a computer would cost around a million dollars.          "),
        QStringLiteral("Key Length - Time Estimate"),
        QStringLiteral("8 characters - 37 days"),
        QStringLiteral("10 characters - 7000 years"),
        QStringLiteral("14 characters - 10 exp 13 years"),
        QStringLiteral("Source: the table of brute-force search times in an applied "
                       "cryptography textbook."),
    };
}

CAboutKeysDialog::CAboutKeysDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Keys"));
    auto* group = new QGroupBox(QStringLiteral("About Keys Information"), this);
    auto* groupLayout = new QVBoxLayout(group);
    const QStringList texts = InformationTexts();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        auto* label = new QLabel(texts[i], group);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(i < 3 || i == texts.size() - 1);
        groupLayout->addWidget(label);
    }
    groupLayout->addStretch(1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setFixedWidth(420);
}

}  // namespace tessaline
