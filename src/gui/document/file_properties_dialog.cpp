#include "gui/document/file_properties_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/views/history_size_setting.h"

namespace tessaline {

CFilePropertiesDialog::CFilePropertiesDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Properties");
    setObjectName("FilePropertiesDialog");
    historySize_ = new QSpinBox(this);
    historySize_->setObjectName("historySize");
    historySize_->setRange(0, kMaxHistorySize);
    historySize_->setSpecialValueText("None");
    auto* form = new QFormLayout;
    form->addRow(new QLabel("Earlier versions kept per card:", this), historySize_);
    auto* note = new QLabel(
        "Each change of a card keeps the version it replaces, up to this "
        "many; the oldest go first. The setting is saved in the file.",
        this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void CFilePropertiesDialog::SetHistorySize(int versions) {
    historySize_->setValue(versions);
}

int CFilePropertiesDialog::HistorySize() const {
    return historySize_->value();
}

}  // namespace tessaline
