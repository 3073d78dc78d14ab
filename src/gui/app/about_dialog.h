#pragma once
// "About Tessaline": the program's icon, its version text and two links.

#include <QDialog>

class QLabel;

namespace tessaline {

class CStaticLink;

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
    QLabel* VersionLabel() { return version_; }
    CStaticLink* HomePageLink() { return home_; }
    CStaticLink* ContactLink() { return contact_; }

private:
    QLabel* version_;
    CStaticLink* home_;
    CStaticLink* contact_;
};

}  // namespace tessaline
