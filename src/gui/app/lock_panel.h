#pragma once
// What a locked document's window shows instead of its cards: the file's name and a
// password field to unlock it.

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessaline {

class CLockPanel : public QWidget {
    Q_OBJECT
public:
    explicit CLockPanel(QWidget* parent = nullptr);

    // The file shown: its name as the heading, its full path below; keepsChanges: a line
    // says that what was not saved is kept.
    void ShowFile(const QString& title, const QString& path, bool keepsChanges = false);
    // Empties the password field and gives it the keys.
    void Reset();

    QLineEdit* PasswordField() const { return password_; }
    QPushButton* UnlockButton() const { return unlock_; }
    QString Heading() const;
    // "Unsaved changes are kept ...", or empty.
    QString ChangesNote() const;

signals:
    // Unlock was pressed (or Enter in the field) with this password.
    void UnlockRequested(const QString& password);

private:
    QLabel* heading_;
    QLabel* path_;
    QLabel* changes_;
    QLineEdit* password_;
    QPushButton* unlock_;
};

}  // namespace tessaline
