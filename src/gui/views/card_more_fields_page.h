#pragma once
// The card editor's second page: the optional fields. An expiry time (none, or a date and
// time), the tags as one line of words, the one-time-password secret as an otpauth://
// address, and custom fields (name, value, and "Protected", which masks the value like
// the password) added and removed by the user.

#include <QWidget>
#include <optional>
#include <vector>

#include "core/views/card_dialog_presets.h"

class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace tessaline {

class CCardMoreFieldsPage : public QWidget {
    Q_OBJECT
public:
    explicit CCardMoreFieldsPage(QWidget* parent = nullptr);
    // The texts the page held are cleared from its fields.
    ~CCardMoreFieldsPage() override;

    // Shows the optional fields of f.
    void SetFields(const CardEditorFields& f);
    // Puts the page's optional fields into f. A text the user left as it was shown keeps
    // the bytes it had in shown, so an untouched field never changes.
    void PutInto(CardEditorFields& f, const CardEditorFields& shown) const;

    QCheckBox* ExpiresBox() { return expires_; }
    QDateTimeEdit* ExpiresEdit() { return expiresAt_; }
    QLineEdit* TagsEdit() { return tags_; }
    QLineEdit* OtpEdit() { return otp_; }
    QPushButton* AddFieldButton() { return addField_; }

    int CustomFieldCount() const { return static_cast<int>(rows_.size()); }
    QLineEdit* CustomNameEdit(int row) { return rows_.at(Index(row)).name; }
    QLineEdit* CustomValueEdit(int row) { return rows_.at(Index(row)).value; }
    QCheckBox* CustomProtectedBox(int row) { return rows_.at(Index(row)).isProtected; }
    QPushButton* CustomRemoveButton(int row) { return rows_.at(Index(row)).remove; }

    // A new empty row at the end ("Add Field"); its name field gets the focus.
    void AddCustomRow();
    void RemoveCustomRow(int row);

private:
    struct Row {
        QWidget* box = nullptr;
        QLineEdit* name = nullptr;
        QLineEdit* value = nullptr;
        QCheckBox* isProtected = nullptr;
        QPushButton* remove = nullptr;
        // The field the row was filled with, when it came from the card.
        std::optional<CustomField> original;
    };
    static std::size_t Index(int row) { return static_cast<std::size_t>(row); }
    Row& NewRow();
    void ClearRows();

    QCheckBox* expires_;
    QDateTimeEdit* expiresAt_;
    QLineEdit* tags_;
    QLineEdit* otp_;
    QPushButton* addField_;
    QVBoxLayout* rowsLayout_;
    std::vector<Row> rows_;
};

}  // namespace tessaline
