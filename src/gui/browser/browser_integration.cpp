#include "gui/browser/browser_integration.h"

#include <cstdlib>

#include "core/platform/user_answers.h"
#include "gui/browser/dde_object.h"

namespace tessaline {

bool StartDde(IUserAnswers& ui) {
    if (InitializeDde())
        return true;
    ui.Message(
        MessageRequest{kMsgDdeInitFailed, MsgCaption::Error, MsgIcon::Error, MsgButtons::Ok});
    return false;
}

BrowserIntegration::BrowserIntegration(IProfile& profile, IUserAnswers& ui, QString profileFolder)
    : profile_(profile),
      windowProfile_(profile),
      windowUi_(ui),
      windowDde_(dde_),
      automation_(
          windowProfile_,
          profileFolder.isEmpty() ? CExplorerAutomation::DefaultProfileFolder() : profileFolder,
          windowDde_),
      commands_(windowProfile_, windowUi_, launcher_, automation_, windowDde_) {}

void BrowserIntegration::LoadApplicationPaths() {
    commands_.SetPaths(tessaline::LoadApplicationPaths(profile_));
}

bool BrowserIntegration::DetectWebBrowsers() {
    const char* path = std::getenv("PATH");
    return commands_.DetectWebBrowsers(path ? path : "");
}

}  // namespace tessaline
