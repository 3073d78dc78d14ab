#include "gui/app/lock_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaline {

CLockPanel::CLockPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lockPanel"));
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("lockHeading"));
    QFont big = heading_->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    heading_->setFont(big);
    heading_->setTextFormat(Qt::PlainText);
    path_ = new QLabel(this);
    path_->setObjectName(QStringLiteral("lockPath"));
    path_->setTextFormat(Qt::PlainText);
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hint = new QLabel(QStringLiteral("Type the file's password to unlock it."), this);

    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("lockPassword"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setMinimumWidth(220);
    auto* label = new QLabel(QStringLiteral("&Password:"), this);
    label->setBuddy(password_);
    unlock_ = new QPushButton(QStringLiteral("&Unlock"), this);
    unlock_->setObjectName(QStringLiteral("unlockButton"));
    unlock_->setEnabled(false);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(password_, 1);
    row->addWidget(unlock_);

    auto* column = new QVBoxLayout;
    column->addWidget(heading_);
    column->addWidget(path_);
    column->addSpacing(12);
    column->addWidget(hint);
    column->addLayout(row);

    auto* outer = new QGridLayout(this);
    outer->setRowStretch(0, 1);
    outer->setRowStretch(2, 2);
    outer->setColumnStretch(0, 1);
    outer->setColumnStretch(2, 1);
    outer->addLayout(column, 1, 1);

    connect(password_, &QLineEdit::textChanged, this,
            [this](const QString& text) { unlock_->setEnabled(!text.isEmpty()); });
    const auto request = [this] {
        if (!password_->text().isEmpty())
            emit UnlockRequested(password_->text());
    };
    connect(unlock_, &QPushButton::clicked, this, request);
    connect(password_, &QLineEdit::returnPressed, this, request);
}

void CLockPanel::ShowFile(const QString& title, const QString& path) {
    heading_->setText(QStringLiteral("%1 is locked").arg(title));
    path_->setText(path);
}

void CLockPanel::Reset() {
    password_->clear();
    password_->setFocus();
}

QString CLockPanel::Heading() const {
    return heading_->text();
}

}  // namespace tessaline
