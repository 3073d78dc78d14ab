#pragma once
// What every command works with: the output and error streams, the password input, the
// core's answers on the console, and the settings the core reads.

#include <ostream>
#include <string>

#include "cli/console_answers.h"
#include "cli/password_input.h"
#include "core/platform/profile.h"

namespace tessaline::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

struct CliContext {
    std::ostream& out;
    std::ostream& err;
    PasswordInput& passwords;
    ConsoleAnswers& answers;
    MemoryProfile profile;

    // "tessaline-cli: <text>", about no file in particular.
    void Error(const std::string& text) {
        err << kProgramName << ": " << text << '\n';
        err.flush();
    }
    // "tessaline-cli: <file>: <text>".
    void ErrorAbout(const std::string& file, const std::string& text) { Error(file + ": " + text); }
};

}  // namespace tessaline::cli
