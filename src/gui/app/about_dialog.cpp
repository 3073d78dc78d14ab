#include "gui/app/about_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "core/app/about_text.h"
#include "gui/app/static_link.h"

namespace tessaline {

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Tessaline");
    setObjectName("AboutDialog");

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    auto* line = new QLabel("Tessaline keeps your passwords and other secrets as cards.", this);

    version_ = new QLabel(this);
    version_->setObjectName("1014");
    version_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    version_->setTextFormat(Qt::PlainText);
    version_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    version_->setMinimumSize(360, 110);
    version_->setText(QString::fromStdString(AboutVersionText(CompiledVersionFields())));

    home_ = new CStaticLink(kHomePageAddress, this);
    home_->setObjectName("1073");
    home_->setText(QString(kHomePageAddress));
    contact_ = new CStaticLink(kContactAddress, this);
    contact_->setObjectName("1074");
    contact_->setText(QString(kContactAddress).mid(7));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0);
    grid->addWidget(line, 0, 1);
    grid->addWidget(version_, 1, 0, 1, 2);
    grid->addWidget(new QLabel("Tessaline Home Page:", this), 2, 0);
    grid->addWidget(home_, 2, 1);
    grid->addWidget(new QLabel("Contact the author:", this), 3, 0);
    grid->addWidget(contact_, 3, 1);
    grid->addWidget(buttons, 4, 0, 1, 2);
}

}  // namespace tessaline
