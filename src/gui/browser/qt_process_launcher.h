#pragma once
// Starts programs for the launch commands; they run on their own after Tessaline ends.

#include "core/browser/browser_interfaces.h"

namespace tessaline {

class QtProcessLauncher : public IProcessLauncher {
public:
    // The program and its arguments, split as a shell would split them (quotes kept
    // together); false when it is empty or cannot be started.
    bool StartCommandLine(const std::string& commandLine) override;
    // The program with that file name, no arguments; false when it cannot be started.
    bool StartProgram(const std::string& path) override;
};

}  // namespace tessaline
