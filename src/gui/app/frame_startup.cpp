#include "gui/app/frame_startup.h"

#include "core/app/handheld_setup.h"
#include "gui/app/frame_all_commands.h"
#include "gui/app/frame_browser_commands.h"
#include "gui/app/main_frame.h"
#include "gui/app/splash_window.h"
#include "gui/browser/browser_integration.h"

namespace tessaline {

CFrameStartup::CFrameStartup(IUserAnswers& ui, IProfile& profile, IHandheldUsers& handheldUsers)
    : ui_(ui), profile_(profile), handheldUsers_(handheldUsers) {}

CFrameStartup::~CFrameStartup() = default;

bool CFrameStartup::InitializeDde() {
    return hooks_.initializeDde ? hooks_.initializeDde() : true;
}

void CFrameStartup::LoadProfileSettings() {
    // The recent-file list is the only setting read here; the main window reads it as it
    // is made, since the File menu shows it.
}

CFrameStartup::Hooks CFrameStartup::DesktopHooks(IUserAnswers& ui, IProfile& profile) {
    Hooks hooks;
    hooks.initializeDde = [&ui] { return StartDde(ui); };
    hooks.wireCommands = [&ui, &profile](CMainFrame& frame) {
        WireFrameCommands(frame, ui, profile);
    };
    hooks.loadApplicationPaths = [](CMainFrame& frame) {
        if (CFrameBrowserCommands* browser = CFrameBrowserCommands::Of(frame))
            browser->Integration().LoadApplicationPaths();
    };
    hooks.detectWebBrowsers = [](CMainFrame& frame) {
        CFrameBrowserCommands* browser = CFrameBrowserCommands::Of(frame);
        return browser != nullptr && browser->Integration().DetectWebBrowsers();
    };
    hooks.runStartupLaunches = [](CMainFrame& frame) {
        if (CFrameBrowserCommands* browser = CFrameBrowserCommands::Of(frame))
            browser->RunStartupLaunches();
    };
    hooks.showSplash = [](CMainFrame& frame) { CSplashWindow::ShowSplash(&frame); };
    return hooks;
}

bool CFrameStartup::CreateMainFrame() {
    frame_ = std::make_unique<CMainFrame>(ui_, profile_);
    if (hooks_.wireCommands)
        hooks_.wireCommands(*frame_);
    return true;
}

void CFrameStartup::ShowMainWindow() {
    if (showWindow_)
        frame_->show();
}

void CFrameStartup::LoadApplicationPaths() {
    if (hooks_.loadApplicationPaths)
        hooks_.loadApplicationPaths(*frame_);
}

bool CFrameStartup::DetectWebBrowsers() {
    // Until the browsers can be looked for, the first start is not marked as done.
    return hooks_.detectWebBrowsers ? hooks_.detectWebBrowsers(*frame_) : false;
}

void CFrameStartup::RunStartupLaunches() {
    if (hooks_.runStartupLaunches)
        hooks_.runStartupLaunches(*frame_);
}

void CFrameStartup::ShowSplash() {
    if (hooks_.showSplash && SplashEnabled())
        hooks_.showSplash(*frame_);
}

void CFrameStartup::OpenMostRecentFile() {
    frame_->OpenMostRecentFile();
}

void CFrameStartup::OpenFiles(const std::vector<std::string>& files) {
    frame_->OpenNamedFiles(files);
}

void CFrameStartup::SetUpHandheldFile() {
    RunHandheldSetup(handheldUsers_, ui_, *frame_);
}

}  // namespace tessaline
