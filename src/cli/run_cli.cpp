#include "cli/run_cli.h"

#include <unistd.h>

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"

namespace tessaline::cli {

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    ParsedArguments parsed = ParseArguments(args);
    if (!parsed.error.empty()) {
        err << kProgramName << ": " << parsed.error << '\n' << "Try \"" << parsed.hint << "\".\n";
        return kExitUsage;
    }
    if (!parsed.request) {
        out << parsed.text;
        return kExitOk;
    }
    const CliRequest& request = *parsed.request;
    // Without a terminal, passwords come from the standard input, one a line.
    const bool terminal = ::isatty(0) == 1;
    PasswordInput passwords =
        terminal ? PasswordInput::FromTerminal() : PasswordInput::FromDescriptor(0);
    ConsoleAnswers answers(err, passwords);
    CliContext ctx{out, err, passwords, answers, {}};
    return request.run(request, ctx);
}

}  // namespace tessaline::cli
