#pragma once
// The application object: the settings, the user's answers through real dialogs, the
// handheld users, and start-up in its order.

#include <QApplication>
#include <QStringList>
#include <memory>

#include "core/app/startup.h"
#include "core/views/print_command_line.h"
#include "gui/views/print_cards.h"

namespace tessaline {

class CFrameStartup;
class CMainFrame;
class InstanceChannel;
class JPilotHandheldUsers;
class ScreenLockWatch;
class QtProfile;
class QtUserAnswers;

class CTessalineApp : public QApplication {
    Q_OBJECT
public:
    CTessalineApp(int& argc, char** argv);
    ~CTessalineApp() override;

    // When Tessaline runs already for this user, hands it the files named on the command
    // line and returns true: this start then ends. Otherwise this start becomes the one
    // later starts hand their files to.
    bool HandOffToRunningProgram(const StartupOptions& options);
    // Runs start-up. False when the program has to end.
    bool InitInstance(const StartupOptions& options);
    // The command line's print switches: prints the file without opening the window
    // (asking for its password when it is encrypted).
    CommandLinePrint PrintFromCommandLine(const PrintSwitch& request);
    CMainFrame* MainFrame() const;
    CFrameStartup& Startup() { return *startup_; }

private:
    // The screenshot aid of scripts/screenshot: a picture of the screen a moment after
    // start, then the program ends.
    void ScheduleScreenshot(const QString& path);

    std::unique_ptr<QtProfile> profile_;
    std::unique_ptr<QtUserAnswers> ui_;
    std::unique_ptr<JPilotHandheldUsers> handheldUsers_;
    std::unique_ptr<CFrameStartup> startup_;
    std::unique_ptr<InstanceChannel> instance_;
    std::unique_ptr<ScreenLockWatch> screenLock_;
    QStringList handedOverEarly_;  // arrived before the window was there
    bool handOffArrivedEarly_ = false;
};

}  // namespace tessaline
