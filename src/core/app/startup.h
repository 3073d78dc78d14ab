#pragma once
// What the command line asks for, and the order in which the program starts.

#include <string>
#include <vector>

namespace tessaline {

class IProfile;

struct StartupOptions {
    bool showSplash = true;
    bool showHelp = false;
    std::vector<std::string> files;  // data files named on the command line, to open
    std::vector<std::string> unknownOptions;
    // Debugging aid for scripts/screenshot: a file to open once the window is up.
    std::string openForScreenshot;
    std::string screenshotPath;  // where to save a picture of the window, then quit
};

StartupOptions ParseCommandLine(const std::vector<std::string>& args);  // args[0]: program
std::string CommandLineHelp(const std::string& program);

// Whether the splash window may show; set once at start-up.
void EnableSplash(bool on);
bool SplashEnabled();

// The steps of start-up, each done by the desktop program.
class IStartupSteps {
public:
    virtual ~IStartupSteps() = default;
    virtual bool InitializeDde() = 0;        // false: the program ends
    virtual void LoadProfileSettings() = 0;  // the recent-file list
    virtual bool CreateMainFrame() = 0;      // with its bars; false: the program ends
    virtual void ShowMainWindow() = 0;
    virtual void LoadApplicationPaths() = 0;
    virtual bool DetectWebBrowsers() = 0;  // true once the browsers were looked for
    virtual void RunStartupLaunches() = 0;
    virtual void ShowSplash() = 0;
    virtual void OpenMostRecentFile() = 0;
    // The files named on the command line, each as File > Open opens it.
    virtual void OpenFiles(const std::vector<std::string>& files) = 0;
    virtual void SetUpHandheldFile() = 0;
};

// Runs start-up in its order. Browsers are looked for until that has once been done;
// the most recent file opens when "Check Open Files" is 1, then the files named on the
// command line. Returns false when the program must end.
bool RunStartup(const StartupOptions& options, IStartupSteps& steps, IProfile& profile);

}  // namespace tessaline
