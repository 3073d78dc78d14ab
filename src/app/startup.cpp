#include "app/startup.h"

#include "platform/profile.h"
#include "prefs/frame_keys.h"

namespace tessaline {

namespace {
bool g_splashEnabled = true;
}

void EnableSplash(bool on) {
    g_splashEnabled = on;
}
bool SplashEnabled() {
    return g_splashEnabled;
}

StartupOptions ParseCommandLine(const std::vector<std::string>& args) {
    StartupOptions o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--no-splash") {
            o.showSplash = false;
        } else if (a == "--help" || a == "-h") {
            o.showHelp = true;
        } else if ((a == "--open-for-screenshot" || a == "--screenshot") && i + 1 < args.size()) {
            (a == "--screenshot" ? o.screenshotPath : o.openForScreenshot) = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            o.unknownOptions.push_back(a);
        } else {
            o.ignoredFiles.push_back(a);
        }
    }
    return o;
}

std::string CommandLineHelp(const std::string& program) {
    return "Usage: " + program +
           " [options]\n"
           "Keeps passwords, logins and other secrets as cards.\n"
           "Data files are opened from the File menu; a file named here is not opened.\n\n"
           "Options:\n"
           "  --no-splash   start without the splash window\n"
           "  -h, --help    show this help and end\n";
}

bool RunStartup(const StartupOptions& options, IStartupSteps& steps, IProfile& profile) {
    EnableSplash(options.showSplash);
    if (!steps.InitializeDde())
        return false;
    steps.LoadProfileSettings();
    if (!steps.CreateMainFrame())
        return false;
    steps.ShowMainWindow();
    steps.LoadApplicationPaths();
    if (profile.GetInt(prefs::kGeneralSection, prefs::kBrowsersDetected, 0) != 1 &&
        steps.DetectWebBrowsers())
        profile.WriteInt(prefs::kGeneralSection, prefs::kBrowsersDetected, 1);
    steps.RunStartupLaunches();
    steps.ShowSplash();
    if (profile.GetInt(prefs::kStartUpSection, prefs::kCheckOpenFiles, 0) == 1)
        steps.OpenMostRecentFile();
    steps.SetUpHandheldFile();
    return true;
}

}  // namespace tessaline
