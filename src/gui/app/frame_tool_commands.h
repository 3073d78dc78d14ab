#pragma once
// The frame's own windows: "Preferences...", "Generate Password..." and "About
// Tessaline...", which can always be chosen, and "Password Health...", which checks the
// active document.

#include <QObject>

namespace tessaline {

class CMainFrame;
class IProfile;
class IUserAnswers;

class CFrameToolCommands : public QObject {
    Q_OBJECT
public:
    CFrameToolCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile);

private:
    void Preferences();
    void GeneratePassword();
    void PasswordHealth();
    void About();
    // After the Preferences sheet, OK or Cancel: the active document lists again, so a
    // new date format or password display shows at once.
    void RefreshAfterPreferences();

    CMainFrame& frame_;
    IUserAnswers& ui_;
    IProfile& profile_;
};

}  // namespace tessaline
