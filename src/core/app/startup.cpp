#include "core/app/startup.h"

#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"

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
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a == "-" || a.empty() || a[0] != '-') {
            o.files.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--no-splash") {
            o.showSplash = false;
        } else if (a == "--help" || a == "-h") {
            o.showHelp = true;
        } else if ((a == "--open-for-screenshot" || a == "--screenshot") && i + 1 < args.size()) {
            (a == "--screenshot" ? o.screenshotPath : o.openForScreenshot) = args[++i];
        } else {
            o.unknownOptions.push_back(a);
        }
    }
    return o;
}

std::string CommandLineHelp(const std::string& program) {
    return "Usage: " + program +
           " [options] [FILE...]\n"
           "Keeps passwords, logins and other secrets as cards.\n"
           "Opens each data FILE named (asking for the password of an encrypted one). When\n"
           "Tessaline is running already, the files open in its window and this start ends.\n\n"
           "Options:\n"
           "  --no-splash                start without the splash window\n"
           "  -h, --help                 show this help and end\n"
           "  --                         what follows are files, even when it starts with -\n";
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
    if (!options.files.empty())
        steps.OpenFiles(options.files);
    steps.SetUpHandheldFile();
    return true;
}

}  // namespace tessaline
