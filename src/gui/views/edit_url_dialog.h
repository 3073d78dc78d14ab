#pragma once
// "Edit URL": a larger editor for a long address.

#include <QDialog>

class QPlainTextEdit;

namespace tessaline {

class CEditURLDialog : public QDialog {
    Q_OBJECT
public:
    explicit CEditURLDialog(QWidget* parent = nullptr);
    void SetText(const QString& text);
    // The address as edited; line breaks typed into it are dropped.
    QString Text() const;
    QPlainTextEdit* Edit() { return edit_; }

private:
    QPlainTextEdit* edit_;
};

}  // namespace tessaline
