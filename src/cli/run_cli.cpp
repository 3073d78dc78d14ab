#include "cli/run_cli.h"

#include <unistd.h>

#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"

namespace tessaline::cli {

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const ParsedArguments parsed = ParseArguments(args);
    if (!parsed.request) {
        err << kProgramName << ": " << parsed.error << '\n'
            << "Try \"" << kProgramName << " --help\".\n";
        return kExitUsage;
    }
    const CliRequest& request = *parsed.request;
    if (request.command == Command::Help) {
        out << UsageText();
        return kExitOk;
    }
    if (request.command == Command::Version) {
        out << kProgramName << ' ' << TESSALINE_VERSION << '\n';
        return kExitOk;
    }
    // Without a terminal, passwords come from the standard input, one a line.
    const bool terminal = ::isatty(0) == 1;
    if (!terminal && request.command == Command::Import && request.files[0] == "-" &&
        request.encryption == TargetEncryption::Encrypt) {
        err << kProgramName
            << ": the standard input cannot hold both the text to import and the password\n";
        return kExitUsage;
    }
    PasswordInput passwords =
        terminal ? PasswordInput::FromTerminal() : PasswordInput::FromDescriptor(0);
    ConsoleAnswers answers(err, passwords);
    CliContext ctx{out, err, passwords, answers, {}};

    switch (request.command) {
        case Command::Info:
            return RunInfo(request, ctx);
        case Command::List:
        case Command::Search:
            return RunList(request, ctx);
        case Command::Export:
            return RunExport(request, ctx);
        case Command::Import:
            return RunImport(request, ctx);
        case Command::Passwd:
            return RunPasswd(request, ctx);
        case Command::Generate:
            return RunGenerate(request, ctx);
        case Command::Help:
        case Command::Version:
            break;
    }
    return kExitOk;
}

}  // namespace tessaline::cli
