#include "cli/card_command_definitions.h"

#include <CLI/CLI.hpp>

#include "cli/cli_arguments.h"
#include "cli/option_checks.h"
#include "core/prefs/generator_rules.h"
#include "core/prefs/password_generator.h"

namespace tessaline::cli {

namespace {

void FileOperand(CLI::App& c, CliRequest& r) {
    c.add_option_function<std::string>(
         "FILE", [&r](const std::string& v) { r.files.push_back(v); }, "the data file")
        ->required()
        ->type_name("");
}

// CARD, or --id PREFIX instead.
void CardOperand(CLI::App& c, CliRequest& r) {
    c.add_option_function<std::string>(
         "CARD", [&r](const std::string& v) { r.cardName = v; },
         "the card's name (as ls shows it); when several cards share it, name the card by "
         "--id instead")
        ->type_name("");
    c.add_option_function<std::string>(
         "--id", [&r](const std::string& v) { r.cardId = v; },
         "the card whose identity begins with these hexadecimal digits (show lists "
         "identities)")
        ->check(NotEmpty("--id needs the first digits of a card's identity"))
        ->type_name("PREFIX");
}

// A text option of add and edit.
void TextOption(CLI::App& c, const char* name, std::optional<std::string>& to, const char* help,
                const char* type = "TEXT") {
    c.add_option_function<std::string>(
         name, [&to](const std::string& v) { to = v; }, help)
        ->type_name(type);
}

// What add and edit share.
void CardTextOptions(CLI::App& c, CliRequest& r, bool adding) {
    c.add_option_function<std::string>(
         "--category", [&r](const std::string& v) { r.category = v; },
         adding ? "the category (\"Bank Accounts\") or its code 0-14"
                : "move the card to this category (\"Bank Accounts\") or code 0-14")
        ->type_name("C");
    TextOption(c, "--name", r.name, adding ? "the card's name" : "a new name", "N");
    TextOption(c, "--address", r.address, "the address (the category's first text)", "A");
    TextOption(c, "--user", r.user, "the user ID", "U");
    TextOption(c, "--note", r.note, "the note", "T");
    c.add_option_function<std::string>(
         "--tag", [&r](const std::string& v) { r.tags.push_back(v); },
         adding ? "a tag (a word); give --tag once for each"
                : "a tag (a word); give --tag once for each: they replace the card's tags")
        ->type_name("T")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    CLI::Option* prompt =
        c.add_flag("--password-prompt", r.passwordPrompt,
                   "ask for the card's password (after the file's own, if it has one)")
            ->disable_flag_override();
    CLI::Option* generate =
        c.add_option_function<std::vector<std::string>>(
             "--generate",
             [&r](const std::vector<std::string>& v) {
                 r.generateLength =
                     v.empty() || v.front().empty() ? kGeneratorStartLength : std::stoi(v.front());
             },
             "give the card a new random password of LENGTH characters (1-63; default " +
                 std::to_string(kGeneratorStartLength) + ")")
            ->expected(0, 1)
            ->check(CLI::Validator(
                [number = NumberFrom("--generate", 1, kMaxGeneratedLength)](
                    std::string& v) mutable { return v.empty() ? std::string() : number(v); },
                ""))
            ->type_name("[LENGTH]");
    prompt->excludes(generate);
}

}  // namespace

void DefineTotp(CLI::App& c, CliRequest& r) {
    FileOperand(c, r);
    CardOperand(c, r);
}

void DefineShow(CLI::App& c, CliRequest& r) {
    FileOperand(c, r);
    CardOperand(c, r);
    c.add_flag("--history", r.history, "list the card's earlier versions too, newest first")
        ->disable_flag_override();
    c.add_flag("--show-passwords", r.showPasswords,
               "show passwords, protected fields and the one-time-password secret in clear")
        ->disable_flag_override();
}

void DefineAdd(CLI::App& c, CliRequest& r) {
    FileOperand(c, r);
    CardTextOptions(c, r, true);
}

void DefineEdit(CLI::App& c, CliRequest& r) {
    FileOperand(c, r);
    CardOperand(c, r);
    CardTextOptions(c, r, false);
}

void DefineRm(CLI::App& c, CliRequest& r) {
    FileOperand(c, r);
    CardOperand(c, r);
    c.add_flag("--permanent", r.permanent,
               "delete the card for good (from its category or the recycle bin) instead of "
               "moving it to the recycle bin")
        ->disable_flag_override();
}

void DefineRestore(CLI::App& c, CliRequest& r) {
    FileOperand(c, r);
    CardOperand(c, r);
    c.add_option_function<int>(
         "--version", [&r](int v) { r.version = v; },
         "make the card's earlier version N current (1 = the most recent; show --history "
         "lists them); the current one is kept as an earlier version")
        ->check(NumberFrom("--version", 1, 1000000))
        ->type_name("N");
}

}  // namespace tessaline::cli
