#include "gui/views/card_more_fields_page.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/views/card_optional_fields.h"
#include "gui/text/text_codec.h"
#include "gui/text/text_wipe.h"

namespace tessaline {

namespace {

// The bytes to keep for a text: the original bytes while the user left the text as it was
// shown.
std::string KeptOrTyped(const QString& shown, const std::string& original) {
    return shown == DisplayText(original) ? original : StoredText(shown);
}

QDateTime ExpiryShown(const std::optional<std::int64_t>& ms) {
    if (ms)
        return QDateTime::fromMSecsSinceEpoch(*ms);
    // A new expiry starts a year from today, at midnight.
    return QDateTime(QDate::currentDate().addYears(1), QTime(0, 0));
}

}  // namespace

CCardMoreFieldsPage::CCardMoreFieldsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("MoreFieldsPage");
    auto* form = new QFormLayout;
    expires_ = new QCheckBox("Expires:", this);
    expires_->setObjectName("expires");
    expiresAt_ = new QDateTimeEdit(this);
    expiresAt_->setObjectName("expiresAt");
    expiresAt_->setCalendarPopup(true);
    expiresAt_->setDisplayFormat("yyyy-MM-dd HH:mm");
    expiresAt_->setEnabled(false);
    connect(expires_, &QCheckBox::toggled, expiresAt_, &QWidget::setEnabled);
    form->addRow(expires_, expiresAt_);

    tags_ = new QLineEdit(this);
    tags_->setObjectName("tags");
    tags_->setPlaceholderText("words separated by commas or spaces");
    form->addRow(new QLabel("Tags:", this), tags_);

    otp_ = new QLineEdit(this);
    otp_->setObjectName("otpUri");
    otp_->setPlaceholderText("otpauth://totp/...");
    // The secret is shown while it is typed, and masked like the password otherwise.
    otp_->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    form->addRow(new QLabel("One-time password:", this), otp_);

    auto* custom = new QGroupBox("Custom Fields", this);
    auto* customLayout = new QVBoxLayout(custom);
    auto* scroll = new QScrollArea(custom);
    scroll->setWidgetResizable(true);
    auto* rowsBox = new QWidget(scroll);
    rowsLayout_ = new QVBoxLayout(rowsBox);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->addStretch(1);
    scroll->setWidget(rowsBox);
    customLayout->addWidget(scroll);
    addField_ = new QPushButton("Add Field", custom);
    addField_->setObjectName("addField");
    addField_->setAutoDefault(false);
    connect(addField_, &QPushButton::clicked, this, &CCardMoreFieldsPage::AddCustomRow);
    customLayout->addWidget(addField_, 0, Qt::AlignLeft);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(custom, 1);
}

CCardMoreFieldsPage::~CCardMoreFieldsPage() {
    WipeLineEdit(*tags_);
    WipeLineEdit(*otp_);
    ClearRows();
}

CCardMoreFieldsPage::Row& CCardMoreFieldsPage::NewRow() {
    Row row;
    row.box = new QWidget(rowsLayout_->parentWidget());
    auto* line = new QHBoxLayout(row.box);
    line->setContentsMargins(0, 0, 0, 0);
    row.name = new QLineEdit(row.box);
    row.name->setPlaceholderText("Name");
    row.value = new QLineEdit(row.box);
    row.value->setPlaceholderText("Value");
    row.isProtected = new QCheckBox("Protected", row.box);
    row.remove = new QPushButton("Remove", row.box);
    row.remove->setAutoDefault(false);
    line->addWidget(row.name, 2);
    line->addWidget(row.value, 3);
    line->addWidget(row.isProtected);
    line->addWidget(row.remove);
    QLineEdit* value = row.value;
    connect(row.isProtected, &QCheckBox::toggled, value,
            [value](bool on) { value->setEchoMode(on ? QLineEdit::Password : QLineEdit::Normal); });
    QWidget* box = row.box;
    connect(row.remove, &QPushButton::clicked, this, [this, box] {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].box == box) {
                RemoveCustomRow(static_cast<int>(i));
                return;
            }
        }
    });
    // Above the stretch that keeps the rows at the top.
    rowsLayout_->insertWidget(rowsLayout_->count() - 1, row.box);
    rows_.push_back(std::move(row));
    return rows_.back();
}

void CCardMoreFieldsPage::AddCustomRow() {
    Row& row = NewRow();
    row.name->setFocus(Qt::OtherFocusReason);
}

void CCardMoreFieldsPage::RemoveCustomRow(int index) {
    if (index < 0 || index >= CustomFieldCount())
        return;
    Row& row = rows_[Index(index)];
    WipeLineEdit(*row.name);
    WipeLineEdit(*row.value);
    // The row's own Remove button may be what is being clicked.
    row.box->hide();
    row.box->deleteLater();
    rows_.erase(rows_.begin() + index);
}

void CCardMoreFieldsPage::ClearRows() {
    while (!rows_.empty())
        RemoveCustomRow(CustomFieldCount() - 1);
}

void CCardMoreFieldsPage::SetFields(const CardEditorFields& f) {
    expires_->setChecked(f.expiresMs.has_value());
    expiresAt_->setDateTime(ExpiryShown(f.expiresMs));
    tags_->setText(DisplayText(TagLine(f.tags)));
    otp_->setText(DisplayText(f.otpUri));
    ClearRows();
    for (const CustomField& field : f.customFields) {
        Row& row = NewRow();
        row.name->setText(DisplayText(field.name));
        row.value->setText(DisplayText(field.value));
        row.isProtected->setChecked(field.isProtected);
        row.value->setEchoMode(field.isProtected ? QLineEdit::Password : QLineEdit::Normal);
        row.original = field;
    }
}

void CCardMoreFieldsPage::PutInto(CardEditorFields& f, const CardEditorFields& shown) const {
    if (!expires_->isChecked()) {
        f.expiresMs.reset();
    } else if (shown.expiresMs && expiresAt_->dateTime() == ExpiryShown(shown.expiresMs)) {
        // Left as shown: the time keeps its milliseconds, which the field does not show.
        f.expiresMs = shown.expiresMs;
    } else {
        f.expiresMs = expiresAt_->dateTime().toMSecsSinceEpoch();
    }
    const QString tagLine = tags_->text();
    f.tags = tagLine == DisplayText(TagLine(shown.tags)) ? shown.tags
                                                         : ParseTagLine(StoredText(tagLine));
    f.otpUri = KeptOrTyped(otp_->text(), shown.otpUri);
    std::vector<CustomField> fields;
    fields.reserve(rows_.size());
    for (const Row& row : rows_) {
        const CustomField original = row.original.value_or(CustomField{});
        fields.push_back(CustomField{KeptOrTyped(row.name->text(), original.name),
                                     KeptOrTyped(row.value->text(), original.value),
                                     row.isProtected->isChecked()});
    }
    f.customFields = KeptCustomFields(std::move(fields));
}

}  // namespace tessaline
