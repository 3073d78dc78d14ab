#include "gui/app/lock_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app/panel_layout.h"

namespace tessaline {

CLockPanel::CLockPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lockPanel"));
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("lockHeading"));
    MakeHeading(*heading_, 1.4);
    heading_->setTextFormat(Qt::PlainText);
    path_ = new QLabel(this);
    path_->setObjectName(QStringLiteral("lockPath"));
    path_->setTextFormat(Qt::PlainText);
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    changes_ = new QLabel(this);
    changes_->setObjectName(QStringLiteral("lockChanges"));
    changes_->setVisible(false);
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
    column->addWidget(changes_);
    column->addSpacing(12);
    column->addWidget(hint);
    column->addLayout(row);

    CentreInPanel(*this, column);

    connect(password_, &QLineEdit::textChanged, this,
            [this](const QString& text) { unlock_->setEnabled(!text.isEmpty()); });
    const auto request = [this] {
        if (!password_->text().isEmpty())
            emit UnlockRequested(password_->text());
    };
    connect(unlock_, &QPushButton::clicked, this, request);
    connect(password_, &QLineEdit::returnPressed, this, request);
}

void CLockPanel::ShowFile(const QString& title, const QString& path, bool keepsChanges) {
    heading_->setText(QStringLiteral("%1 is locked").arg(title));
    path_->setText(path);
    changes_->setText(keepsChanges ? QStringLiteral("Its unsaved changes are kept, sealed under "
                                                    "its password, until you unlock it.")
                                   : QString());
    changes_->setVisible(keepsChanges);
}

void CLockPanel::Reset() {
    password_->clear();
    password_->setFocus();
}

QString CLockPanel::Heading() const {
    return heading_->text();
}

QString CLockPanel::ChangesNote() const {
    return changes_->text();
}

}  // namespace tessaline
