#pragma once
// "Preferences": the four pages of settings, loaded from the profile and written back
// on OK.

#include <QDialog>
#include <functional>

#include "core/prefs/preferences.h"

class QTabWidget;
class QPushButton;

namespace tessaline {

class CAtStartUpPref;
class CGeneralSettingsPref;
class CPathSettingsRef;
class CPrintXMLSupportRef;
class IProfile;
class IUserAnswers;

class CPrefPropertySheet : public QDialog {
    Q_OBJECT
public:
    CPrefPropertySheet(IProfile& profile, IUserAnswers& ui, QWidget* parent = nullptr);

    // The pages' values now.
    Preferences Values() const;
    void accept() override;

    QTabWidget* Tabs() { return tabs_; }
    CGeneralSettingsPref* GeneralPage() { return general_; }
    CAtStartUpPref* StartUpPage() { return startUp_; }
    CPathSettingsRef* PathPage() { return paths_; }
    CPrintXMLSupportRef* PrintPage() { return print_; }
    QPushButton* OkButton() { return ok_; }

private:
    IProfile& profile_;
    QTabWidget* tabs_;
    CGeneralSettingsPref* general_;
    CAtStartUpPref* startUp_;
    CPathSettingsRef* paths_;
    CPrintXMLSupportRef* print_;
    QPushButton* ok_;
};

// The Preferences command: runs the sheet, then, whether OK or Cancel, calls afterClose
// (the frame reloads its print switches and has the active document update its views).
void RunPreferencesCommand(IProfile& profile, IUserAnswers& ui, QWidget* parent,
                           const std::function<void()>& afterClose);

}  // namespace tessaline
