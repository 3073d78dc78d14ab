#pragma once
// Explains how the key length decides the security of an encrypted file.

#include <QDialog>
#include <QStringList>

namespace tessaline {

class CAboutKeysDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutKeysDialog(QWidget* parent = nullptr);
    // The texts of the "About Keys Information" group, in order.
    static QStringList InformationTexts();
};

}  // namespace tessaline
