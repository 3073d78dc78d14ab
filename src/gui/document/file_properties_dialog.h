#pragma once
// File > Properties...: the settings kept in the data file itself. For now the number of
// earlier versions each card keeps (0 = none).

#include <QDialog>

class QSpinBox;

namespace tessaline {

class CFilePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CFilePropertiesDialog(QWidget* parent = nullptr);

    void SetHistorySize(int versions);
    int HistorySize() const;
    QSpinBox* HistorySizeBox() { return historySize_; }

private:
    QSpinBox* historySize_;
};

}  // namespace tessaline
