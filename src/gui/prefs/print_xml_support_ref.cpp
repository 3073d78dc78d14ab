#include "gui/prefs/print_xml_support_ref.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace tessaline {

CPrintXMLSupportRef::CPrintXMLSupportRef(QWidget* parent) : QWidget(parent) {
    auto* group = new QGroupBox("Print Preferences", this);
    auto* groupLayout = new QVBoxLayout(group);
    atm_ = new QCheckBox("Print ATM / PIN codes", group);
    atm_->setObjectName("1060");
    notes_ = new QCheckBox("Print notes", group);
    notes_->setObjectName("1062");
    groupLayout->addWidget(atm_);
    groupLayout->addWidget(notes_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}

void CPrintXMLSupportRef::Load(const Preferences& p) {
    notes_->setChecked(p.printNotes == 1);
    atm_->setChecked(p.printAtm == 1);
}

void CPrintXMLSupportRef::Store(Preferences& p) const {
    p.printNotes = notes_->isChecked() ? 1 : 0;
    p.printAtm = atm_->isChecked() ? 1 : 0;
}

}  // namespace tessaline
