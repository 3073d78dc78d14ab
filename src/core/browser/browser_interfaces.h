#pragma once
// What the browser commands need from outside the core: starting programs, driving the
// automation browser, and the browsers' DDE service.

#include <string>

namespace tessaline {

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;
    // Starts a command line (program and arguments, split by the usual quoting rules).
    virtual bool StartCommandLine(const std::string& commandLine) = 0;
    // Starts the program with that full file name and no arguments.
    virtual bool StartProgram(const std::string& path) = 0;
};

// The automation browser, shaped as the calls made on it. Every failure is a false,
// and outputs change only on success.
class IBrowserAutomation {
public:
    virtual ~IBrowserAutomation() = default;
    virtual bool NavigateRunningExplorer(const std::string& address, bool newWindow) = 0;
    // Opens `address` (which holds no credentials) and answers the site's HTTP
    // authentication challenge for that address's origin with the user ID and password,
    // once: the password never becomes part of an address.
    virtual bool NavigateWithLogin(const std::string& address, bool newWindow,
                                   const std::string& userId, const std::string& password) = 0;
    virtual bool StartExplorerAtHome() = 0;
    virtual bool GetRunningExplorerURL(std::string& address) = 0;
    virtual bool GetRunningExplorerTitle(std::string& title) = 0;
};

// The browser's DDE service ("IExplore"). Failures leave the outputs empty.
class IDdeBrowser {
public:
    virtual ~IDdeBrowser() = default;
    virtual void OpenURL(const std::string& address, bool newWindow) = 0;
    virtual void GetWindowInfo(std::string& address, std::string& title) = 0;
};

}  // namespace tessaline
