// The command line, read by CLI11: one subcommand per command (command_definitions.cpp),
// and CLI11's refusals put in the program's own words.

#include "cli/cli_arguments.h"

#include <CLI/CLI.hpp>

#include "cli/command_definitions.h"
#include "cli/console_answers.h"
#include "core/app/version.h"

namespace tessaline::cli {

namespace {

const std::string kProgram = kProgramName;

ParsedArguments Refuse(std::string error, std::string hint = kProgram + " --help") {
    ParsedArguments parsed;
    parsed.error = std::move(error);
    parsed.hint = std::move(hint);
    return parsed;
}

ParsedArguments Print(std::string text) {
    ParsedArguments parsed;
    parsed.text = std::move(text);
    return parsed;
}

// The operands as the help's usage line shows them, e.g. "FILE [CATEGORY]".
std::string OperandNames(const CLI::App& command) {
    std::string names;
    for (const CLI::Option* o :
         command.get_options([](const CLI::Option* o) { return o->get_positional(); })) {
        const std::string name = o->get_name(true);
        names += (names.empty() ? "" : " ") + (o->get_required() ? name : "[" + name + "]");
    }
    return names;
}

// What the user typed that the command has no place for, or nothing.
std::optional<std::string> Leftover(const CLI::App& command) {
    const std::vector<std::string> rest = command.remaining();
    if (rest.empty())
        return std::nullopt;
    const std::string& first = rest.front();
    const std::string name = command.get_name();
    if (first.size() > 1 && first[0] == '-') {
        return "the " + name + " command has no option " + first.substr(0, first.find('='));
    }
    const std::string operands = OperandNames(command);
    if (operands.empty())
        return name + " takes no file";
    return name + " needs " + operands + ", and nothing more";
}

// CLI11's messages start with the option's name: "NAME: ..." or "NAME was given ...".
std::string NameAtStart(const std::string& message) {
    std::string name = message.substr(0, message.find_first_of(": "));
    return name.starts_with('-') ? name : "--" + name;
}

// A refusal of CLI11's, in the program's words.
std::string UsageError(const CLI::ParseError& e, const CLI::App& command) {
    const std::string message = e.what();
    if (dynamic_cast<const CLI::RequiredError*>(&e))
        return command.get_name() + " needs " + OperandNames(command);
    if (dynamic_cast<const CLI::ValidationError*>(&e)) {
        // The checks of option_checks.h say all there is to say.
        const std::size_t colon = message.find(": ");
        return colon == std::string::npos ? message : message.substr(colon + 2);
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e)) {
        const std::string name = NameAtStart(message);
        const CLI::Option* option = command.get_option_no_throw(name);
        if (option && option->get_expected_max() == 0)
            return name + " takes no value";
        return name + " needs a value";
    }
    if (dynamic_cast<const CLI::RequiresError*>(&e)) {
        const std::size_t at = message.find(" requires ");
        if (at != std::string::npos)
            return message.substr(0, at) + " needs " + message.substr(at + 10);
    }
    if (dynamic_cast<const CLI::ExcludesError*>(&e)) {
        const std::size_t at = message.find(" excludes ");
        if (at != std::string::npos)
            return message.substr(0, at) + " and " + message.substr(at + 10) +
                   " cannot be given together";
    }
    return message;
}

// Paragraphs (separated by blank lines) broken into lines of at most 79 characters.
std::string Wrapped(const std::string& text) {
    std::string out;
    std::size_t column = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, 2, "\n\n") == 0) {
            out += "\n\n";
            column = 0;
            pos += 2;
            continue;
        }
        const std::size_t end = std::min(text.find_first_of(" \n", pos), text.size());
        const std::string word = text.substr(pos, end - pos);
        if (column > 0 && column + 1 + word.size() > 79) {
            out += '\n';
            column = 0;
        } else if (column > 0) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        pos = end;
        if (pos < text.size() && text.compare(pos, 2, "\n\n") != 0)
            ++pos;
    }
    return out;
}

// The general help and every command's own, with the same look.
void SetUpHelp(CLI::App& app) {
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->column_width(26);
    formatter->label("REQUIRED", "");
    formatter->label("SUBCOMMAND", "COMMAND");
    formatter->label("Positionals", "Operands");
    app.formatter(formatter);
}

}  // namespace

ParsedArguments ParseArguments(std::span<const std::string> args) {
    if (args.empty())
        return Refuse("no command given");

    CliRequest request;
    CLI::App app("Keeps passwords and other secrets as cards in data files (.tsf, .tse).",
                 kProgram);
    SetUpHelp(app);
    app.footer(Wrapped(kHelpFooter));
    app.set_version_flag("--version", kProgram + " " + version::kVersion);
    app.require_subcommand(1);
    for (const CommandDefinition& d : CommandDefinitions()) {
        CLI::App* command = app.add_subcommand(d.name, d.summary);
        command->group("Commands");
        command->footer(Wrapped(d.details) + "\n\n" + Wrapped(kHelpFooter));
        // What a command does not know is refused below, in the program's words.
        command->allow_extras();
        d.define(*command, request);
    }

    // "help" and "help COMMAND" show the same as --help.
    std::vector<std::string> words(args.begin(), args.end());
    if (words[0] == "help" && words.size() <= 2) {
        words.erase(words.begin());
        words.push_back("--help");
    }
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(words.rbegin(), words.rend());

    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return Print(app.help());
    } catch (const CLI::CallForVersion& e) {
        return Print(std::string(e.what()) + "\n");
    } catch (const CLI::ParseError& e) {
        const std::vector<CLI::App*> chosen = app.get_subcommands();
        if (chosen.empty())
            return Refuse("unknown command \"" + words[0] + "\"");
        const CLI::App& command = *chosen.front();
        const std::string hint = kProgram + " " + command.get_name() + " --help";
        if (std::optional<std::string> leftover = Leftover(command))
            return Refuse(std::move(*leftover), hint);
        return Refuse(UsageError(e, command), hint);
    }
    const CLI::App& command = *app.get_subcommands().front();
    if (std::optional<std::string> leftover = Leftover(command))
        return Refuse(std::move(*leftover), kProgram + " " + command.get_name() + " --help");
    request.command = command.get_name();
    for (const CommandDefinition& d : CommandDefinitions()) {
        if (request.command == d.name)
            request.run = d.run;
    }
    ParsedArguments parsed;
    parsed.request = std::move(request);
    return parsed;
}

}  // namespace tessaline::cli
