#pragma once
// What the user asked tessaline-cli to do, read from its command line. The commands, their
// options and operands are defined in command_definitions.cpp; this is what they fill in.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/prefs/password_generator.h"

namespace tessaline::cli {

struct CliContext;
struct CliRequest;

// A command's work; returns the program's exit status.
using RunCommand = int (*)(const CliRequest& request, CliContext& ctx);

// How a file that is written should be stored.
enum class TargetEncryption {
    Default,  // as the command's own rule says (import: as the source, or by the .tse name)
    Encrypt,  // enciphered under a new password, asked twice
    Plain,    // not enciphered
};

struct CliRequest {
    std::string command;             // the command's name, as typed
    RunCommand run = nullptr;        // what it does
    std::vector<std::string> files;  // the command's file operands, in order

    // ls, search
    std::optional<std::string> category;  // a display name, a code 0..14 or "Show All"
    std::optional<std::string> search;
    bool showPasswords = false;
    bool searchPasswords = false;  // search: the passwords are searched too

    // export
    std::optional<std::string> output;  // none: standard output
    bool force = false;                 // replace an existing output file
    bool partial = false;               // write what could be read of a damaged file
    bool csv = false;                   // the CSV layout KeePassXC reads, not tab-delimited text

    // import-csv: "auto", "keepassxc", "chromium", "firefox" or "bitwarden"
    std::string csvFormat = "auto";

    // import, passwd
    TargetEncryption encryption = TargetEncryption::Default;
    // The encrypted layout asked for: true --sealed, false --compatible; none: import seals,
    // passwd keeps an encrypted file's layout and seals a plain one.
    std::optional<bool> sealed;
    std::optional<int> kdfMemoryMiB;  // --kdf-memory, for sealing
    std::optional<int> kdfOps;        // --kdf-ops, for sealing

    // generate: 20 characters of all four classes, or a passphrase of 6 words joined by "-"
    int length = 20;
    int count = 1;
    PasswordClasses classes{true, true, true, true};
    bool passphrase = false;
    int words = 6;
    std::string separator = "-";

    // analyze: a list of breached passwords' SHA-1 digests to look each password up in
    std::optional<std::string> pwnedList;

    // show, add, edit, rm, restore, totp. The card is named by cardName or by an identity prefix.
    std::optional<std::string> cardName;
    std::optional<std::string> cardId;
    bool history = false;  // show --history
    // add, edit: the texts given (category in category above); a tag list given replaces
    // the card's tags.
    std::optional<std::string> name, address, user, note;
    std::vector<std::string> tags;
    bool passwordPrompt = false;
    std::optional<int> generateLength;  // --generate [LENGTH]
    bool permanent = false;             // rm --permanent
    std::optional<int> version;         // restore --version N (1 = the most recent)
};

// What the command line comes to: a command to run, a text to print (help, version), or
// a refusal.
struct ParsedArguments {
    std::optional<CliRequest> request;
    std::string text;   // printed when there is no request and no error (exit 0)
    std::string error;  // why the command line was refused (exit 2)
    std::string hint;   // the help to read after a refusal, e.g. "tessaline-cli ls --help"
};

// args are the arguments after the program name.
ParsedArguments ParseArguments(std::span<const std::string> args);

}  // namespace tessaline::cli
