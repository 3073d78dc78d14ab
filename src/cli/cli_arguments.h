#pragma once
// What the user asked tessaline-cli to do, read from its command line.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "prefs/password_generator.h"

namespace tessaline::cli {

enum class Command { Help, Version, Info, List, Search, Export, Import, Passwd, Generate };

// How a file that is written should be stored.
enum class TargetEncryption {
    Default,  // as the command's own rule says (import: as the source, or by the .tse name)
    Encrypt,  // enciphered under a new password, asked twice
    Plain,    // not enciphered
};

struct CliRequest {
    Command command = Command::Help;
    std::vector<std::string> files;  // the command's file operands, in order

    // ls, search
    std::optional<std::string> category;  // a display name, a code 0..14 or "Show All"
    std::optional<std::string> search;
    bool showPasswords = false;

    // export
    std::optional<std::string> output;  // none: standard output
    bool force = false;                 // replace an existing output file

    // import, passwd
    TargetEncryption encryption = TargetEncryption::Default;

    // generate
    int length = 10;
    int count = 1;
    PasswordClasses classes;
};

struct ParsedArguments {
    std::optional<CliRequest> request;
    std::string error;  // why the command line was refused, when request is empty
};

// args are the arguments after the program name.
ParsedArguments ParseArguments(std::span<const std::string> args);

// The text --help prints.
std::string UsageText();

}  // namespace tessaline::cli
