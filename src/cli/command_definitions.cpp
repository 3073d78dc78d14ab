// The commands of tessaline-cli: one Define function per command adds its operands and
// options, with their checks and help texts, to the command's own subcommand.

#include "cli/command_definitions.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "cli/card_command_definitions.h"
#include "cli/commands.h"
#include "cli/option_checks.h"
#include "core/prefs/passphrase_generator.h"
#include "core/prefs/password_generator.h"
#include "core/views/csv_import.h"

namespace tessaline::cli {

namespace {

// An operand that is appended to the request's files.
CLI::Option* FileOperand(CLI::App& c, CliRequest& r, const char* name, const char* help) {
    return c
        .add_option_function<std::string>(
            name, [&r](const std::string& v) { r.files.push_back(v); }, help)
        ->required()
        ->type_name("");
}

// An operand the command can do without.
CLI::Option* OptionalOperand(CLI::App& c, const char* name, std::optional<std::string>& to,
                             const char* help) {
    return c
        .add_option_function<std::string>(
            name, [&to](const std::string& v) { to = v; }, help)
        ->type_name("");
}

// A switch without a value ("--force=yes" is refused).
CLI::Option* Switch(CLI::App& c, const char* name, bool& to, const char* help) {
    return c.add_flag(name, to, help)->disable_flag_override();
}

// --kdf-memory and --kdf-ops: the key settings of a seal.
void KdfOptions(CLI::App& c, CliRequest& r) {
    c.add_option_function<int>(
         "--kdf-memory", [&r](int v) { r.kdfMemoryMiB = v; },
         "memory the key derivation of a seal takes, in MiB (1-1024; default 256)")
        ->check(NumberFrom("--kdf-memory", 1, 1024))
        ->type_name("MiB");
    c.add_option_function<int>(
         "--kdf-ops", [&r](int v) { r.kdfOps = v; },
         "passes the key derivation of a seal makes (1-10; default 3)")
        ->check(NumberFrom("--kdf-ops", 1, 10))
        ->type_name("N");
}

void DefineInfo(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "FILE", "the data file");
}

void DefineList(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "FILE", "the data file");
    OptionalOperand(c, "CATEGORY", r.category,
                    "a category's name (\"Credit Cards\"), its code 0-14, or \"Show All\"; "
                    "without it every category is listed");
    Switch(c, "--show-passwords", r.showPasswords, "show passwords in clear");
}

void DefineSearch(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "FILE", "the data file");
    OptionalOperand(c, "TEXT", r.search, "the text to look for")
        ->required()
        ->check(NotEmpty("Search String can not be empty!"));
    Switch(c, "--show-passwords", r.showPasswords, "show passwords in clear");
    Switch(c, "--passwords", r.searchPasswords, "look in the passwords too");
}

void DefineExport(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "FILE", "the data file");
    OptionalOperand(c, "OUT", r.output,
                    "the text file to write (created readable by you only); without it, or "
                    "with \"-\", the lines go to the standard output (a file named - is ./-)")
        ->check(NotEmpty("export needs a file name for OUT"));
    Switch(c, "--force", r.force, "replace OUT if it exists");
    Switch(c, "--partial", r.partial,
           "write the cards that could be read from a damaged file (else a damaged file "
           "writes nothing and fails)");
    Switch(c, "--csv", r.csv,
           "write CSV in the layout KeePassXC reads (Group, Title, Username, Password, URL, "
           "Notes, TOTP; UTF-8) instead of tab-delimited text");
}

void DefineImport(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "TEXT",
                "the text to import, in the form export writes; \"-\" reads "
                "the standard input");
    FileOperand(c, r, "OUT", "the data file to make, or to add the cards to")
        ->check(NamesAFile("OUT must be a file, not standard output"));
    c.add_flag_callback(
         "--encrypt", [&r] { r.encryption = TargetEncryption::Encrypt; },
         "encipher the new OUT under a new password (a new OUT named *.tse is enciphered "
         "anyway); it is sealed unless --compatible is given")
        ->disable_flag_override();
    c.add_flag_callback(
         "--compatible", [&r] { r.sealed = false; },
         "encipher a new OUT in the layout older readers understand (weaker, at most about "
         "500 cards) instead of sealing it")
        ->disable_flag_override();
    KdfOptions(c, r);
}

void DefineImportCsv(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "FILE", "the CSV export of another password manager")
        ->check(NamesAFile("FILE must be a file, not standard input"));
    FileOperand(c, r, "OUT", "the data file to make, or to add the cards to")
        ->check(NamesAFile("OUT must be a file, not standard output"));
    c.add_option("--format", r.csvFormat,
                 "the program that wrote FILE: auto (told by the first line), keepassxc, "
                 "chromium, firefox or bitwarden")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                if (CsvSourceFromName(text))
                    return {};
                return "--format takes auto, keepassxc, chromium, firefox or bitwarden, not \"" +
                       text + "\"";
            },
            ""))
        ->type_name("NAME")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->capture_default_str();
    c.add_flag_callback(
         "--encrypt", [&r] { r.encryption = TargetEncryption::Encrypt; },
         "encipher the new OUT under a new password (a new OUT named *.tse is enciphered "
         "anyway)")
        ->disable_flag_override();
}

void DefinePasswd(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "FILE", "the data file");
    CLI::Option* plain = c.add_flag_callback(
                              "--plain", [&r] { r.encryption = TargetEncryption::Plain; },
                              "store FILE without encryption instead (refused for a name "
                              "ending in .tse, which is kept for encrypted files)")
                             ->disable_flag_override();
    CLI::Option* sealed =
        c.add_flag_callback(
             "--sealed", [&r] { r.sealed = true; },
             "seal FILE (Argon2id and XChaCha20-Poly1305; the default for a plain FILE)")
            ->disable_flag_override();
    CLI::Option* compatible =
        c.add_flag_callback(
             "--compatible", [&r] { r.sealed = false; },
             "encipher FILE in the layout older readers understand (weaker, at most about 500 "
             "cards)")
            ->disable_flag_override();
    plain->excludes(sealed)->excludes(compatible);
    sealed->excludes(compatible);
    KdfOptions(c, r);
}

void DefineGenerate(CLI::App& c, CliRequest& r) {
    CLI::Option* length = c.add_option("--length", r.length, "characters in each password, 0-63")
                              ->check(NumberFrom("--length", 0, kMaxGeneratedLength))
                              ->type_name("N")
                              ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
                              ->capture_default_str();
    c.add_option("--count", r.count, "how many passwords, 1-10000")
        ->check(NumberFrom("--count", 1, 10000))
        ->type_name("N")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->capture_default_str();
    // Naming any class chooses exactly the classes named.
    auto named = std::make_shared<bool>(false);
    const auto classSwitch = [&c, &r, named](const char* name, bool PasswordClasses::*member,
                                             const char* help) {
        c.add_flag_callback(
             name,
             [&r, named, member] {
                 if (!*named)
                     r.classes = PasswordClasses{false, false, false, false};
                 *named = true;
                 r.classes.*member = true;
             },
             help)
            ->disable_flag_override();
    };
    classSwitch("--upper", &PasswordClasses::upper, "upper-case letters A-Z");
    classSwitch("--lower", &PasswordClasses::lower, "lower-case letters a-z");
    classSwitch("--numbers", &PasswordClasses::numbers, "digits 0-9");
    classSwitch("--others", &PasswordClasses::others, "punctuation and other signs");
    CLI::Option* passphrase = Switch(c, "--passphrase", r.passphrase,
                                     "words from the EFF large word list instead of characters "
                                     "(the Debian package \"diceware\" brings the list)");
    c.add_option("--words", r.words,
                 "words in each passphrase, " + std::to_string(kPassphraseMinWords) + "-" +
                     std::to_string(kPassphraseMaxWords))
        ->check(NumberFrom("--words", kPassphraseMinWords, kPassphraseMaxWords))
        ->type_name("N")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->capture_default_str()
        ->needs(passphrase);
    c.add_option("--separator", r.separator, "the text between the words of a passphrase")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                if (text.size() <= kMaxSeparatorLength)
                    return {};
                return "--separator takes at most " + std::to_string(kMaxSeparatorLength) +
                       " characters";
            },
            ""))
        ->type_name("TEXT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
        ->capture_default_str()
        ->needs(passphrase);
    passphrase->excludes(length);
    for (const char* name : {"--upper", "--lower", "--numbers", "--others"})
        passphrase->excludes(c.get_option(name));
}

void DefineAnalyze(CLI::App& c, CliRequest& r) {
    FileOperand(c, r, "FILE", "the data file");
    c.add_option_function<std::string>(
         "--hibp", [&r](const std::string& v) { r.pwnedList = v; },
         "also look every password up in LIST, an offline \"Have I Been Pwned\" list of "
         "SHA-1 digests (sorted HASH:COUNT lines); it is searched, never read whole")
        ->check(NamesAFile("--hibp needs the file name of the list"))
        ->type_name("LIST");
}

constexpr CommandDefinition kCommands[] = {
    {"info", "Show what a data file is and what it holds",
     "Shows the format, the encryption layout (with a sealed file's key settings), the "
     "revision byte, the header's kept value and the cards in each category.",
     RunInfo, DefineInfo},
    {"ls", "List the cards of a data file",
     "One line a card, sorted by name: name, category, user ID and password (masked).", RunList,
     DefineList},
    {"search", "List the cards with a text in any of their texts",
     "Name, address, user ID and note are searched (the password too with --passwords), "
     "letter case ignored.",
     RunList, DefineSearch},
    {"export", "Write every card as tab-delimited text",
     "One card a line: category code, name, address, user ID, password (in clear) and note, "
     "in UTF-8 with CR LF line ends.",
     RunExport, DefineExport},
    {"import", "Make a data file from exported text, or add the cards to one",
     "Each card gets the time now. A bad line is reported and nothing is written. An OUT "
     "that exists gets the cards added and keeps its password; one that holds no cards yet "
     "is made as a new one. Cards are never stored in clear under a name ending in .tse.",
     RunImport, DefineImport},
    {"import-csv", "Make a data file from another password manager's CSV export, or add to one",
     "Reads the CSV exports of KeePassXC, Chromium, Firefox and Bitwarden, told apart by "
     "their first line. Entries with an address become WWW Sites cards, the others "
     "Miscellaneous, unless their group or folder is named after a category. A TOTP "
     "column becomes the card's one-time-password secret; the group and other columns are "
     "kept in the note. A bad line is reported by its "
     "number and nothing is written. An OUT that exists gets the cards added and keeps its "
     "password; one that holds no cards yet is made as a new one. Cards are never stored in "
     "clear under a name ending in .tse.",
     RunImportCsv, DefineImportCsv},
    {"passwd", "Encipher a data file under a new password",
     "An encrypted file keeps its layout unless --sealed or --compatible is given; a plain "
     "one is sealed. An old-format file is rewritten in the current format. The old file is "
     "replaced only by a whole new one.",
     RunPasswd, DefinePasswd},
    {"show", "Show one card, and its earlier versions",
     "CARD is the card's name as ls shows it; when several cards share it they are listed "
     "with their identities (exit 2), and --id with the first digits of one names it. "
     "Passwords, protected fields and the one-time-password secret are masked unless "
     "--show-passwords is given. Cards in the recycle bin are found too.",
     RunShow, DefineShow},
    {"add", "Add a card to a data file",
     "The card gets a new identity and the time now. Its password is asked for "
     "(--password-prompt) or made by the generator (--generate), or left empty.",
     RunAdd, DefineAdd},
    {"edit", "Change a card's texts, tags, password or category",
     "Only what is given changes; the version it replaces is kept as the card's most recent "
     "earlier version (as many as the file keeps).",
     RunEdit, DefineEdit},
    {"rm", "Move a card to the recycle bin, or delete it for good",
     "A card deleted for good leaves only its identity and the time, so that another copy "
     "of the file does not bring it back when the two are merged.",
     RunRm, DefineRm},
    {"restore", "Take a card back from the recycle bin, or make an earlier version current",
     "Without --version the card leaves the recycle bin for the end of its category. With "
     "--version N the card's Nth most recent earlier version becomes current, and the "
     "current one is kept as an earlier version: nothing is lost.",
     RunRestore, DefineRestore},
    {"totp", "Print the current one-time code of a card",
     "The time-based code (RFC 6238) of the card's one-time-password secret, on a line of "
     "its own. A name that several cards share is refused with a list of them and their identities "
      "(exit 2); --id with the first digits of one names it.",
     RunTotp, DefineTotp},
    {"generate", "Print passwords from the system's secure random source",
     "Without a class named, all four classes are used: upper-case and lower-case letters, "
     "digits and punctuation. --passphrase makes passphrases of words drawn uniformly from "
     "the EFF large word list, joined by \"-\" unless --separator says otherwise.",
     RunGenerate, DefineGenerate},
    {"analyze", "List the cards whose passwords need attention",
     "One row a problem: card, category, problem. The problems: weak passwords (below "
     "\"good\": the zxcvbn estimate under 65 bits), one password on several cards (each "
     "such group numbered), passwords not changed for more than a year, cards past their "
     "expiry date, and passwords that are the card's name or user ID (letter case ignored). "
     "With --hibp, passwords found in the list are listed with how often it saw them.",
     RunAnalyze, DefineAnalyze},
};

}  // namespace

std::span<const CommandDefinition> CommandDefinitions() {
    return kCommands;
}

const char* const kHelpFooter =
    "Passwords are read from the terminal without echo; a new password is asked twice and "
    "needs at least 8 characters. When the standard input is not a terminal, each password "
    "is read from it as one line, in the order they are asked for: the file's password, "
    "then the new one (once).\n\n"
    "Exit status: 0 done, 1 failed (nothing was changed), 2 wrong usage.";

}  // namespace tessaline::cli
