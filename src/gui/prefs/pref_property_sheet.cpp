#include "gui/prefs/pref_property_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "gui/prefs/at_start_up_pref.h"
#include "gui/prefs/general_settings_pref.h"
#include "gui/prefs/path_settings_ref.h"
#include "gui/prefs/print_xml_support_ref.h"

namespace tessaline {

CPrefPropertySheet::CPrefPropertySheet(IProfile& profile, IUserAnswers& ui, QWidget* parent)
    : QDialog(parent), profile_(profile) {
    setWindowTitle("Preferences");
    setObjectName("PrefPropertySheet");
    tabs_ = new QTabWidget(this);
    general_ = new CGeneralSettingsPref(tabs_);
    startUp_ = new CAtStartUpPref(tabs_);
    paths_ = new CPathSettingsRef(ui, tabs_);
    print_ = new CPrintXMLSupportRef(tabs_);
    tabs_->addTab(general_, "General");
    tabs_->addTab(startUp_, "At Start Up");
    tabs_->addTab(paths_, "Path Settings");
    tabs_->addTab(print_, "Print Preferences");
    tabs_->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPrefPropertySheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);

    const Preferences prefs = LoadPreferences(profile_);
    general_->Load(prefs, CurrentCardTime());
    startUp_->Load(prefs);
    paths_->Load(prefs);
    print_->Load(prefs);
}

Preferences CPrefPropertySheet::Values() const {
    Preferences p = LoadPreferences(profile_);
    general_->Store(p);
    startUp_->Store(p);
    paths_->Store(p);
    print_->Store(p);
    return p;
}

void CPrefPropertySheet::accept() {
    SavePreferences(profile_, Values());
    QDialog::accept();
}

void RunPreferencesCommand(IProfile& profile, IUserAnswers& ui, QWidget* parent,
                           const std::function<void()>& afterClose) {
    {
        CPrefPropertySheet sheet(profile, ui, parent);
        sheet.exec();
    }
    if (afterClose)
        afterClose();
}

}  // namespace tessaline
