#pragma once
// The commands of tessaline-cli as the command line knows them: each one's name, what its
// help says, its options and operands with their checks, and the function that runs it.
// A new command is one more entry in the table of command_definitions.cpp; a new option is
// one more line in its command's Define function.

#include <span>

#include "cli/cli_arguments.h"

namespace CLI {
class App;
}

namespace tessaline::cli {

struct CommandDefinition {
    const char* name;
    const char* summary;  // its line in the general help, and the first line of its own
    const char* details;  // more about it, under the options of its own help
    RunCommand run;
    // Adds the command's options and operands to its subcommand; the values land in request.
    void (*define)(CLI::App& command, CliRequest& request);
};

std::span<const CommandDefinition> CommandDefinitions();

// The text under every help: where passwords come from, and the exit status.
extern const char* const kHelpFooter;

}  // namespace tessaline::cli
