#pragma once
// Checks of option values and operands, with the messages a wrong value gets.

#include <CLI/CLI.hpp>
#include <string>

namespace tessaline::cli {

// A whole decimal number from low to high; otherwise "OPTION takes a number from LOW to
// HIGH, not "VALUE"".
CLI::Validator NumberFrom(const std::string& option, int low, int high);
// Anything but the empty text; otherwise message.
CLI::Validator NotEmpty(const std::string& message);
// A file name, not "-" (standard output) and not empty; otherwise message.
CLI::Validator NamesAFile(const std::string& message);

}  // namespace tessaline::cli
