#pragma once
// The whole program behind main(): reads the command line, runs the command, returns the
// exit status.

#include <ostream>
#include <span>
#include <string>

namespace tessaline::cli {

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace tessaline::cli
