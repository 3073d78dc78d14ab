#include "cli/cli_arguments.h"

#include <charconv>
#include <functional>
#include <vector>

namespace tessaline::cli {

namespace {

struct CommandInfo {
    const char* name;
    Command command;
    std::size_t minOperands;
    std::size_t maxOperands;
    const char* operandNames;
};

constexpr CommandInfo kCommands[] = {
    {"info", Command::Info, 1, 1, "FILE"},          {"ls", Command::List, 1, 2, "FILE [CATEGORY]"},
    {"search", Command::Search, 2, 2, "FILE TEXT"}, {"export", Command::Export, 1, 2, "FILE [OUT]"},
    {"import", Command::Import, 2, 2, "TEXT OUT"},  {"passwd", Command::Passwd, 1, 1, "FILE"},
    {"generate", Command::Generate, 0, 0, ""},
};

struct OptionInfo {
    const char* name;
    bool takesValue;
    std::vector<Command> commands;
    // Applies the option; returns the error text, empty when accepted.
    std::function<std::string(CliRequest&, const std::string& value)> apply;
};

// A whole decimal number within [low, high], or nothing.
std::optional<int> ParseNumber(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::string NumberOption(const std::string& value, const char* option, int low, int high,
                         int& out) {
    const std::optional<int> n = ParseNumber(value, low, high);
    if (!n) {
        return std::string(option) + " takes a number from " + std::to_string(low) + " to " +
               std::to_string(high) + ", not \"" + value + "\"";
    }
    out = *n;
    return {};
}

const std::vector<OptionInfo>& Options() {
    static const std::vector<OptionInfo> options = {
        {"--show-passwords",
         false,
         {Command::List, Command::Search},
         [](CliRequest& r, const std::string&) {
             r.showPasswords = true;
             return std::string();
         }},
        {"--force",
         false,
         {Command::Export},
         [](CliRequest& r, const std::string&) {
             r.force = true;
             return std::string();
         }},
        {"--encrypt",
         false,
         {Command::Import},
         [](CliRequest& r, const std::string&) {
             if (r.encryption == TargetEncryption::Plain) {
                 return std::string("--encrypt and --plain cannot be given together");
             }
             r.encryption = TargetEncryption::Encrypt;
             return std::string();
         }},
        {"--plain",
         false,
         {Command::Passwd},
         [](CliRequest& r, const std::string&) {
             if (r.encryption == TargetEncryption::Encrypt) {
                 return std::string("--encrypt and --plain cannot be given together");
             }
             r.encryption = TargetEncryption::Plain;
             return std::string();
         }},
        {"--length",
         true,
         {Command::Generate},
         [](CliRequest& r, const std::string& v) {
             return NumberOption(v, "--length", 0, kMaxGeneratedLength, r.length);
         }},
        {"--count",
         true,
         {Command::Generate},
         [](CliRequest& r, const std::string& v) {
             return NumberOption(v, "--count", 1, 10000, r.count);
         }},
    };
    return options;
}

// Character classes: naming any of them chooses exactly the ones named.
bool ApplyClassOption(const std::string& arg, CliRequest& r, bool& classesNamed) {
    static const std::pair<const char*, bool PasswordClasses::*> kClasses[] = {
        {"--upper", &PasswordClasses::upper},
        {"--lower", &PasswordClasses::lower},
        {"--numbers", &PasswordClasses::numbers},
        {"--others", &PasswordClasses::others},
    };
    for (const auto& [name, member] : kClasses) {
        if (arg != name)
            continue;
        if (!classesNamed)
            r.classes = PasswordClasses{false, false, false, false};
        classesNamed = true;
        r.classes.*member = true;
        return true;
    }
    return false;
}

bool Allowed(const OptionInfo& option, Command command) {
    for (Command c : option.commands) {
        if (c == command)
            return true;
    }
    return false;
}

ParsedArguments Refuse(std::string error) {
    return ParsedArguments{std::nullopt, std::move(error)};
}

// Gives the operands after the files their meaning, and refuses what cannot work.
std::string TakeOperands(CliRequest& r) {
    switch (r.command) {
        case Command::List:
            if (r.files.size() == 2) {
                r.category = r.files[1];
                r.files.pop_back();
            }
            break;
        case Command::Search:
            if (r.files[1].empty())
                return "Search String can not be empty!";
            r.search = r.files[1];
            r.files.pop_back();
            break;
        case Command::Export:
            if (r.files.size() == 2) {
                if (r.files[1].empty())
                    return "export needs a file name for OUT";
                r.output = r.files[1];
                r.files.pop_back();
            }
            break;
        case Command::Import:
            if (r.files[1] == "-" || r.files[1].empty())
                return "OUT must be a file, not standard output";
            break;
        default:
            break;
    }
    return {};
}

}  // namespace

ParsedArguments ParseArguments(std::span<const std::string> args) {
    CliRequest request;
    if (args.empty())
        return Refuse("no command given");
    const std::string& first = args[0];
    if (first == "--help" || first == "-h" || first == "help")
        return ParsedArguments{request, {}};
    if (first == "--version") {
        request.command = Command::Version;
        return ParsedArguments{request, {}};
    }
    const CommandInfo* info = nullptr;
    for (const CommandInfo& c : kCommands) {
        if (first == c.name)
            info = &c;
    }
    if (!info)
        return Refuse("unknown command \"" + first + "\"");
    request.command = info->command;

    bool classesNamed = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            request.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            request = CliRequest{};
            return ParsedArguments{request, {}};
        }
        if (arg == "-o")
            arg = "--output";
        std::optional<std::string> inlineValue;
        if (const std::size_t eq = arg.find('='); eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        if (request.command == Command::Generate && !inlineValue &&
            ApplyClassOption(arg, request, classesNamed)) {
            continue;
        }
        const OptionInfo* option = nullptr;
        for (const OptionInfo& o : Options()) {
            if (arg == o.name)
                option = &o;
        }
        if (!option || !Allowed(*option, request.command)) {
            return Refuse("the " + std::string(info->name) + " command has no option " + arg);
        }
        std::string value;
        if (option->takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return Refuse(arg + " needs a value");
            }
        } else if (inlineValue) {
            return Refuse(arg + " takes no value");
        }
        if (std::string error = option->apply(request, value); !error.empty()) {
            return Refuse(std::move(error));
        }
    }

    if (request.files.size() < info->minOperands || request.files.size() > info->maxOperands) {
        if (info->maxOperands == 0)
            return Refuse(std::string(info->name) + " takes no file");
        return Refuse(std::string(info->name) + " needs " + info->operandNames +
                      (request.files.size() < info->minOperands ? "" : ", and nothing more"));
    }
    if (std::string error = TakeOperands(request); !error.empty()) {
        return Refuse(std::move(error));
    }
    return ParsedArguments{request, {}};
}

std::string UsageText() {
    return R"(Usage: tessaline-cli COMMAND [OPTIONS]

Commands:
  info FILE        Show the format, the encryption, the revision byte, the
                   header's kept value and the cards in each category.
  ls FILE [CATEGORY]
                   List the cards sorted by name: name, category, user ID and
                   password (masked). CATEGORY is a category's name or its code
                   0-14; without it every category is listed.
      --show-passwords   show passwords in clear
  search FILE TEXT List the cards with TEXT in a text field, letter case ignored.
      --show-passwords   show passwords in clear
  export FILE [OUT]
                   Write every card as tab-delimited text: category code, name,
                   address, user ID, password (in clear) and note, one card a
                   line. To the standard output, or to OUT (created readable by
                   you only).
      --force            replace OUT if it exists
  import TEXT OUT  Make the data file OUT from the lines of TEXT, in the form
                   export writes ("-" reads the standard input). Each card gets
                   the time now. A bad line is reported and nothing is written.
                   An OUT that exists gets the cards added and keeps its password.
      --encrypt          encipher the new OUT under a new password
  passwd FILE      Encipher FILE under a new password, or with --plain store it
                   without encryption. An old-format file is rewritten in the
                   current format. The old file is replaced only by a whole new one.
      --plain            store FILE without encryption
  generate         Print a password from the system's secure random source.
      --length N         characters, 0-63 (default 10)
      --count N          how many passwords (default 1)
      --upper --lower --numbers --others
                         the character classes to use (default: the first three)

Every command takes --help. Passwords are read from the terminal without echo;
a new password is asked twice and needs at least 8 characters. When the standard
input is not a terminal, each password is read from it as one line, in the order
they are asked for: the file's password, then the new one (once).

Exit status: 0 done, 1 failed (nothing was changed), 2 wrong usage.
)";
}

}  // namespace tessaline::cli
