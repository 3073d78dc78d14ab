#pragma once
// The "Path Settings" page: the programs the Internet commands start.

#include <QWidget>

#include "core/prefs/preferences.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tessaline {

class IUserAnswers;

class CPathSettingsRef : public QWidget {
    Q_OBJECT
public:
    explicit CPathSettingsRef(IUserAnswers& ui, QWidget* parent = nullptr);
    void Load(const Preferences& prefs);
    void Store(Preferences& prefs) const;

    // "Find Path...": a file chooser whose answer goes to the edit box of the checked
    // radio button (Cancel empties it); with none checked nothing changes.
    void OnFindPath();

    // kAutomationBrowser: the Chromium-family browser Load Web Page drives; left empty,
    // the first one on PATH is used.
    enum Program {
        kNavigator,
        kMail,
        kFtp,
        kNews,
        kAcrobat,
        kTelnet,
        kAutomationBrowser,
        kProgramCount
    };
    QRadioButton* Radio(Program p) { return radios_[p]; }
    QLineEdit* Edit(Program p) { return edits_[p]; }
    QPushButton* FindPathButton() { return findPath_; }

private:
    IUserAnswers& ui_;
    QRadioButton* radios_[kProgramCount];
    QLineEdit* edits_[kProgramCount];
    QPushButton* findPath_;
};

}  // namespace tessaline
