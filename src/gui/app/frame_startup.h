#pragma once
// The desktop program's steps of start-up, run in their order by RunStartup. The steps
// whose work lives outside the frame (DDE, the commands' windows, the browsers, the
// splash) are hooks: DesktopHooks gives them the program's work; an empty one does
// nothing, which the tests of the frame alone rely on.

#include <functional>
#include <memory>

#include "core/app/startup.h"

namespace tessaline {

class CMainFrame;
class IHandheldUsers;
class IProfile;
class IUserAnswers;

class CFrameStartup : public IStartupSteps {
public:
    // Work for the steps that the frame does not do itself; an empty one does nothing.
    struct Hooks {
        std::function<bool()> initializeDde;  // false: the program ends
        std::function<void(CMainFrame&)> loadApplicationPaths;
        std::function<bool(CMainFrame&)> detectWebBrowsers;  // true once they were looked for
        std::function<void(CMainFrame&)> runStartupLaunches;
        std::function<void(CMainFrame&)> showSplash;
        // Gives the new main window the work of its commands.
        std::function<void(CMainFrame&)> wireCommands;
    };

    // The desktop program's work for every hook: DDE, the commands' windows, the
    // browsers, the start-up launches and the splash.
    static Hooks DesktopHooks(IUserAnswers& ui, IProfile& profile);

    CFrameStartup(IUserAnswers& ui, IProfile& profile, IHandheldUsers& handheldUsers);
    ~CFrameStartup() override;

    Hooks& StartupHooks() { return hooks_; }
    // The main window once CreateMainFrame ran; nullptr before.
    CMainFrame* Frame() const { return frame_.get(); }
    // Whether the main window is shown by ShowMainWindow (tests keep it hidden).
    void SetShowWindow(bool show) { showWindow_ = show; }

    bool InitializeDde() override;
    void LoadProfileSettings() override;
    bool CreateMainFrame() override;
    void ShowMainWindow() override;
    void LoadApplicationPaths() override;
    bool DetectWebBrowsers() override;
    void RunStartupLaunches() override;
    void ShowSplash() override;
    void OpenMostRecentFile() override;
    void OpenFiles(const std::vector<std::string>& files) override;
    void SetUpHandheldFile() override;

private:
    IUserAnswers& ui_;
    IProfile& profile_;
    IHandheldUsers& handheldUsers_;
    Hooks hooks_;
    std::unique_ptr<CMainFrame> frame_;
    bool showWindow_ = true;
};

}  // namespace tessaline
