// tessaline-cli as a user runs it: the real program on real files, with passwords on
// its standard input and its exit status, output and messages read back.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/file/file_lock.h"
#include "core/file/safe_file.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/views/text_export.h"
#include "support/card_fixtures.h"
#include "support/cli_run.h"
#include "support/data_files.h"
#include "support/save_leftovers.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using testing::AddCard;
using testing::CardFields;
using testing::CliRun;
using testing::ReadText;
using testing::RunCli;
using testing::SpawnCli;
using testing::WriteText;

class CliTest : public testing::CliFolderTest {
protected:
    CliTest() : CliFolderTest("tessaline-cli-test-") {}

    // A data file written by the core writer, the way the desktop program saves.
    fs::path MakeFile(const std::string& name, const std::vector<CardFields>& specs,
                      const std::string& password = "") {
        CCardCollection cards;
        for (const CardFields& s : specs)
            AddCard(cards, s);
        FileCipherState state;
        state.encryptOnSave = !password.empty();
        state.encryptionPassword = password;
        testing::ScriptedAnswers answers;
        const auto bytes = BuildDataFileWithUser(cards, state, answers);
        EXPECT_TRUE(bytes);
        const fs::path path = Path(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes->data()),
                   static_cast<std::streamsize>(bytes->size()));
        return path;
    }
};

const std::vector<CardFields> kCards = {
    {.code = 0,
     .name = "mail",
     .address = "https://mail.example",
     .user = "me",
     .password = "s3cret!",
     .note = "two\r\nlines"},
    {.code = 0, .name = "Bank portal", .user = "joe", .password = "pin"},
    {.code = 8, .name = "visa", .user = "4111", .password = "123"},
    {.code = 14, .name = "alarm", .password = "9876"},
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(CliTest, UsageErrorsExitTwoWithTheirReason) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {{}, "no command given"},
             {{"frobnicate"}, "unknown command \"frobnicate\""},
             {{"--bogus"}, "unknown command \"--bogus\""},
             {{"info"}, "info needs FILE"},
             {{"info", "a", "b"}, "info needs FILE, and nothing more"},
             {{"ls"}, "ls needs FILE [CATEGORY]"},
             {{"search", "f"}, "search needs FILE TEXT"},
             {{"search", "f", ""}, "Search String can not be empty!"},
             {{"generate", "x"}, "generate takes no file"},
             {{"generate", "--length", "64"}, "--length takes a number from 0 to 63, not \"64\""},
             {{"generate", "--length", "x"}, "--length takes a number from 0 to 63, not \"x\""},
             {{"generate", "--count", "0"}, "--count takes a number from 1 to 10000, not \"0\""},
             {{"generate", "--length"}, "--length needs a value"},
             {{"passwd", "f", "--encrypt"}, "the passwd command has no option --encrypt"},
             {{"export", "f", "--bogus"}, "the export command has no option --bogus"},
             {{"export", "f", "-o", "x"}, "the export command has no option -o"},
             {{"export", "f", "--output=x"}, "the export command has no option --output"},
             {{"export", "f", "--force=yes"}, "--force takes no value"},
             {{"export", "f", ""}, "export needs a file name for OUT"},
             {{"import", "t", "-"}, "OUT must be a file, not standard output"},
             {{"import-csv", "-", "o"}, "FILE must be a file, not standard input"},
             {{"import-csv", "a.csv", "o", "--format", "lastpass"},
              "--format takes auto, keepassxc, chromium, firefox or bitwarden, not \"lastpass\""},
         }) {
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "tessaline-cli: " + c.message)
            << ::testing::PrintToString(c.args);
        EXPECT_NE(run.err.find("--help"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(CliTest, EveryCommandHasItsOwnHelpThatPromisesOnlyWhatWorks) {
    struct Case {
        std::string command;
        std::vector<std::string> mentions;
    };
    for (const Case& c : std::vector<Case>{
             {"info", {"Usage: tessaline-cli info [OPTIONS] FILE"}},
             {"ls", {"Usage: tessaline-cli ls [OPTIONS] FILE [CATEGORY]", "--show-passwords"}},
             {"search", {"Usage: tessaline-cli search [OPTIONS] FILE TEXT", "--show-passwords"}},
             {"export", {"Usage: tessaline-cli export [OPTIONS] FILE [OUT]", "--force"}},
             {"import", {"Usage: tessaline-cli import [OPTIONS] TEXT OUT", "--encrypt"}},
             {"import-csv",
              {"Usage: tessaline-cli import-csv [OPTIONS] FILE OUT", "--format", "--encrypt"}},
             {"passwd", {"Usage: tessaline-cli passwd [OPTIONS] FILE", "--plain"}},
             {"generate",
              {"Usage: tessaline-cli generate [OPTIONS]", "--length", "--others", "--passphrase",
               "--words", "--separator"}},
             {"analyze", {"Usage: tessaline-cli analyze [OPTIONS] FILE", "--hibp"}},
             {"totp", {"Usage: tessaline-cli totp [OPTIONS] FILE [CARD]", "RFC 6238", "--id"}},
         }) {
        for (const std::vector<std::string>& args : {std::vector<std::string>{c.command, "--help"},
                                                     {c.command, "-h"},
                                                     {"help", c.command}}) {
            const CliRun run = Cli(args);
            EXPECT_EQ(run.status, 0) << c.command;
            for (const std::string& text : c.mentions)
                EXPECT_NE(run.out.find(text), std::string::npos) << c.command << ": " << text;
            // Another command's options are not offered.
            if (!c.command.starts_with("import")) {
                EXPECT_EQ(run.out.find("--encrypt"), std::string::npos) << c.command;
            }
        }
    }
    const CliRun general = Cli({"--help"});
    EXPECT_EQ(general.status, 0);
    for (const char* command : {"info", "ls", "search", "export", "import", "import-csv", "passwd",
                                "generate", "analyze", "totp"})
        EXPECT_NE(general.out.find(std::string("\n  ") + command + " "), std::string::npos);
    for (const CliRun& run : {general, Cli({"export", "--help"})}) {
        EXPECT_EQ(run.out.find("--output"), std::string::npos);
        EXPECT_EQ(run.out.find("-o,"), std::string::npos);
        EXPECT_EQ(run.out.find("--password-fd"), std::string::npos);
    }
    const CliRun version = Cli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("tessaline-cli 1.")) << version.out;
}

TEST_F(CliTest, InfoNamesTheFormatAndCountsTheCards) {
    const fs::path plain = MakeFile("plain.tsf", kCards);
    CliRun run = Cli({"info", plain.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line : {"Format: MACSyncVersion", "Encrypted: no", "Revision: 6",
                             "Header value at offset 18: 0", "Cards: 4", "  WWW Sites: 2",
                             "  Credit Cards: 1", "  Miscellaneous: 1", "Deleted cards: 0"}) {
        EXPECT_NE(run.out.find(std::string(line) + "\n"), std::string::npos) << line;
    }

    const fs::path locked = MakeFile("locked.tse", kCards, "correct horse");
    run = Cli({"info", locked.string()}, "correct horse\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Encrypted: yes\n"), std::string::npos);
    EXPECT_NE(run.out.find("Cards: 4\n"), std::string::npos);

    WriteText(Path("empty.tsf"), "");
    run = Cli({"info", Path("empty.tsf").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Format: Empty File\n"), std::string::npos);

    WriteText(Path("notes.txt"), "just some text, long enough to have a header's worth");
    run = Cli({"info", Path("notes.txt").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Format: Not a Tessaline File\n"), std::string::npos);
    EXPECT_NE(run.err.find("This is not a Tessaline file."), std::string::npos);

    run = Cli({"info", Path("missing.tsf").string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.empty());
}

TEST_F(CliTest, WrongMissingAndEmptyPasswordsFailWithTheProgramsMessages) {
    const fs::path locked = MakeFile("locked.tse", kCards, "correct horse");
    struct Case {
        std::string input;
        std::string message;
    };
    for (const Case& c :
         {Case{"wrong horse\n", "Password not correct, please try again."},
          Case{"\n", "You must enter a password!"}, Case{"", "no further password"}}) {
        const CliRun run = Cli({"ls", locked.string()}, c.input);
        EXPECT_EQ(run.status, 1) << c.input;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(CliTest, LsAndSearchSortByNameAndMaskPasswords) {
    const fs::path file = MakeFile("cards.tsf", kCards);
    CliRun run = Cli({"ls", file.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{
                                  "Name\tCategory\tUser ID\tPassword",
                                  "alarm\tMiscellaneous\t\t****",
                                  "Bank portal\tWWW Sites\tjoe\t****",
                                  "mail\tWWW Sites\tme\t****",
                                  "visa\tCredit Cards\t4111\t****",
                              }));
    EXPECT_EQ(run.out.find("s3cret"), std::string::npos);

    for (const char* category : {"WWW Sites", "0"}) {
        run = Cli({"ls", file.string(), category, "--show-passwords"});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(Lines(run.out), (std::vector<std::string>{
                                      "Name\tCategory\tUser ID\tPassword",
                                      "Bank portal\tWWW Sites\tjoe\tpin",
                                      "mail\tWWW Sites\tme\ts3cret!",
                                  }));
    }
    run = Cli({"ls", file.string(), "Recipes"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Recipes"), std::string::npos);

    // Whole texts are searched, letter case ignored; the note's second line counts too.
    run = Cli({"search", file.string(), "LINES"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"Name\tCategory\tUser ID\tPassword",
                                                        "mail\tWWW Sites\tme\t****"}));
    run = Cli({"search", file.string(), "nothing like it"});
    EXPECT_EQ(Lines(run.out).size(), 1u);
    // A password is looked in only when asked for.
    run = Cli({"search", file.string(), "S3CRET"});
    EXPECT_EQ(Lines(run.out).size(), 1u);
    run = Cli({"search", file.string(), "S3CRET", "--passwords"});
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"Name\tCategory\tUser ID\tPassword",
                                                        "mail\tWWW Sites\tme\t****"}));
}

TEST_F(CliTest, ExportWritesTheSameBytesAsTheDesktopProgram) {
    const fs::path file = MakeFile("cards.tse", kCards, "correct horse");
    CCardCollection cards;
    for (const CardFields& s : kCards)
        AddCard(cards, s);
    const std::string expected = ExportCardsAsText(cards);

    CliRun run = Cli({"export", file.string()}, "correct horse\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, expected);

    const fs::path out = Path("cards.txt");
    run = Cli({"export", file.string(), out.string()}, "correct horse\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(out), expected);
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // An existing file is replaced only when asked to, and then owner-only whatever it
    // allowed before: it holds every password in clear.
    WriteText(out, "keep me");
    fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                             fs::perms::others_read);
    run = Cli({"export", file.string(), out.string()}, "correct horse\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadText(out), "keep me");
    run = Cli({"export", file.string(), out.string(), "--force"}, "correct horse\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(ReadText(out), expected);
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(CliTest, ImportMakesAFileThatExportsBackTheSameLines) {
    const std::string text =
        "0\tmail\thttps://mail.example\tme\ts3cret!\tnote\r\n"
        "14\talarm\t\t\t9876\t\r\n"
        "\n"
        "8\tvisa\t\t4111\t123\tcard\n";
    WriteText(Path("in.txt"), text);

    const fs::path plain = Path("new.tsf");
    CliRun run = Cli({"import", Path("in.txt").string(), plain.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::status(plain).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    run = Cli({"export", plain.string()});
    EXPECT_EQ(run.out,
              "0\tmail\thttps://mail.example\tme\ts3cret!\tnote\r\n"
              "8\tvisa\t\t4111\t123\tcard\r\n"
              "14\talarm\t\t\t9876\t\r\n");

    // Enciphered: the new password is the first line of the standard input.
    const fs::path locked = Path("new.tse");
    run = Cli({"import", Path("in.txt").string(), locked.string(), "--encrypt"}, "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"info", locked.string()}, "long enough\n");
    EXPECT_NE(run.out.find("Encrypted: yes\n"), std::string::npos);
    EXPECT_NE(run.out.find("Cards: 3\n"), std::string::npos);

    // A new password shorter than eight characters is refused, and nothing is written.
    run = Cli({"import", Path("in.txt").string(), Path("short.tse").string(), "--encrypt"},
              "short\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Password to short, please use more characters!"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("short.tse")));
}

std::string CsvFixture(const char* name) {
    return std::string(TESSALINE_TEST_DATA) + "/csv/" + name;
}

TEST_F(CliTest, ImportCsvMakesAFileOrAddsToOneAndCountsPerCategory) {
    const fs::path out = Path("moved.tsf");
    CliRun run = Cli({"import-csv", CsvFixture("keepassxc.csv"), out.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out.string() +
                           ": 4 cards imported into a new file (not encrypted)\n"
                           "  WWW Sites: 1\n  Credit Cards: 1\n  Miscellaneous: 2\n");
    EXPECT_EQ(fs::status(out).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    run = Cli({"import-csv", CsvFixture("bitwarden.csv"), out.string(), "--format", "bitwarden"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, out.string() +
                           ": 3 cards imported (not encrypted)\n"
                           "  WWW Sites: 1\n  Email Accounts: 1\n  Miscellaneous: 1\n");
    run = Cli({"ls", out.string(), "Email Accounts", "--show-passwords"});
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"Name\tCategory\tUser ID\tPassword",
                                                        "Work mail\tEmail Accounts\tfrank\tfpw"}));

    // Enciphered when the new file's name says so; the password is the first input line.
    run =
        Cli({"import-csv", CsvFixture("firefox.csv"), Path("moved.tse").string()}, "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"info", Path("moved.tse").string()}, "long enough\n");
    EXPECT_NE(run.out.find("Encrypted: yes\n"), std::string::npos);
    EXPECT_NE(run.out.find("Cards: 2\n"), std::string::npos);
}

// KeePassXC's group path below its root names the category (the other groups are tags,
// not note lines); without one, file-transfer and mail addresses choose theirs.
TEST_F(CliTest, ImportCsvFilesCardsByGroupPathAndAddress) {
    WriteText(Path("kp.csv"),
              "Group,Title,Username,Password,URL,Notes,TOTP,Icon,Last Modified,Created\n"
              "Passwords/Work/Credit Cards,visa,,,,,,0,2024-01-02T10:00:00Z,2024-01-01T10:00:00Z\n"
              "Passwords,files,,,sftp://files.example,,,0,,\n"
              "Passwords,mail,,,mailto:ann@example.org,,,0,,\n"
              "Passwords/Work,site,,,https://site.example,,,0,,\n");
    const fs::path out = Path("kp.tsf");
    CliRun run = Cli({"import-csv", Path("kp.csv").string(), out.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"ls", out.string()});
    EXPECT_EQ(Lines(run.out),
              (std::vector<std::string>{"Name\tCategory\tUser ID\tPassword",
                                        "files\tFTP Servers\t\t", "mail\tEmail Accounts\t\t",
                                        "site\tWWW Sites\t\t", "visa\tCredit Cards\t\t"}));
    run = Cli({"export", out.string()});
    EXPECT_EQ(run.out.find("Group"), std::string::npos) << run.out;
}

// "-" is the standard output for export, as it is the standard input for import; a file
// of that name is written as "./-".
TEST_F(CliTest, ExportToDashWritesTheStandardOutput) {
    const fs::path file = MakeFile("cards.tsf", kCards);
    const bool dashBefore = fs::exists("-");
    CliRun run = Cli({"export", file.string(), "-"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(run.out.empty());
    EXPECT_EQ(run.out, Cli({"export", file.string()}).out);
    EXPECT_EQ(fs::exists("-"), dashBefore);
    run = Cli({"export", file.string(), "-", "--csv"});
    EXPECT_TRUE(run.out.starts_with("\"Group\",\"Title\"")) << run.out;
    run = Cli({"export", file.string(), Path("-").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(ReadText(Path("-")), Cli({"export", file.string()}).out);
}

// What export --csv writes, import-csv reads back into the same cards.
TEST_F(CliTest, ExportCsvReadsBackIntoTheSameCards) {
    const fs::path source = MakeFile("source.tsf", kCards);
    CliRun run = Cli({"export", source.string(), Path("out.csv").string(), "--csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fs::status(Path("out.csv")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    const std::string csv = ReadText(Path("out.csv"));
    EXPECT_TRUE(csv.starts_with(
        "\"Group\",\"Title\",\"Username\",\"Password\",\"URL\",\"Notes\",\"TOTP\"\n"))
        << csv;
    EXPECT_NE(csv.find("\"Root/Credit Cards\",\"visa\",\"4111\",\"123\",\"\",\"\",\"\"\n"),
              std::string::npos)
        << csv;

    run = Cli({"import-csv", Path("out.csv").string(), Path("back.tsf").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const CliRun before = Cli({"export", source.string()});
    const CliRun after = Cli({"export", Path("back.tsf").string()});
    EXPECT_EQ(after.out, before.out);
    // The same to the standard output.
    EXPECT_EQ(Cli({"export", source.string(), "--csv"}).out, csv);
}

// The one-time-password field is kept only by the second sealed layout; what the command
// says about a card's code is tested on cards built in memory (card_one_time_code_test).
// Here: the file's side of it, through the real program.
TEST_F(CliTest, TotpNamesTheCardItCannotUse) {
    const fs::path file = MakeFile("codes.tsf", {{.code = 0, .name = "mail", .user = "me"},
                                                 {.code = 6, .name = "mail", .user = "you"},
                                                 {.code = 14, .name = "alarm"}});
    CliRun run = Cli({"totp", file.string(), "mail"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "tessaline-cli: " + file.string() +
                           ": 2 cards are named \"mail\"; name one with --id and the first "
                           "digits of its identity:\n  (no identity)  WWW Sites  mail  me\n"
                           "  (no identity)  Email Accounts  mail  you\n");
    EXPECT_EQ(run.out, "");
    run = Cli({"totp", file.string(), "alarm"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tessaline-cli: " + file.string() +
                           ": the card \"alarm\" has no one-time code secret\n");
    run = Cli({"totp", file.string(), "Alarm"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tessaline-cli: " + file.string() + ": there is no card named \"Alarm\"\n");
    EXPECT_EQ(run.out, "");
    // No card named, or an empty name: refused before the file is opened (it does not exist).
    for (const auto& [args, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"totp", "missing.tse"}, "totp needs CARD or --id PREFIX (one of them)"},
             {{"totp", "missing.tse", ""}, "totp needs the name of a card"},
             {{"totp", "missing.tse", "x", "--id", "3f"},
              "totp needs CARD or --id PREFIX (one of them)"}}) {
        run = Cli(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.err, "tessaline-cli: " + message + "\n");
    }
}

// A tab inside a password would move the rest of it into the note when the text is read
// back: it is written as a space, the error stream names the card, and --csv keeps it.
TEST_F(CliTest, ExportWritesTabsAsSpacesAndSaysWhich) {
    const fs::path source =
        MakeFile("tabs.tsf", {{.code = 0, .name = "tabbed", .password = "a\tb", .note = "the note"},
                              {.code = 8, .name = "visa", .password = "123"}});
    CliRun run = Cli({"export", source.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0\ttabbed\t\t\ta b\tthe note\r\n8\tvisa\t\t\t123\t\r\n");
    EXPECT_EQ(run.err,
              "tessaline-cli: note: In 1 card, a tab or line break inside a text was written as "
              "a space, so that each text stays in its own column:\n\nWWW Sites: tabbed\n\n"
              "export --csv keeps these texts as they are.\n");
    // Read back, the note is the note.
    ASSERT_EQ(Cli({"import", "-", Path("back.tsf").string()}, run.out).status, 0);
    EXPECT_EQ(Cli({"export", Path("back.tsf").string()}).out, run.out);

    run = Cli({"export", source.string(), Path("tabs.csv").string(), "--csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(Cli({"import-csv", Path("tabs.csv").string(), Path("csv.tsf").string()}).status, 0);
    run = Cli({"export", Path("csv.tsf").string(), "--csv"});
    EXPECT_NE(run.out.find("\"tabbed\",\"\",\"a\tb\""), std::string::npos) << run.out;
}

TEST_F(CliTest, ImportCsvRefusesABadFileAndWritesNothing) {
    const fs::path existing = MakeFile("keep.tsf", kCards);
    const std::string bytes = ReadText(existing);
    struct Case {
        std::string text;
        std::vector<std::string> args;
        std::string message;
    };
    for (const Case& c : {
             Case{"name,url,username,password,note\nok,,u,p,\nbad,,u,p\"w,\n",
                  {},
                  "line 3: a double quote is out of place"},
             Case{"Title,Login,Secret\na,b,c\n",
                  {},
                  "line 1: the first line does not name the columns of a KeePassXC, Chromium, "
                  "Firefox or Bitwarden export (name it with --format); nothing was imported"},
             Case{"name,url,username,password,note\na,,,1,\n",
                  {"--format", "firefox"},
                  "line 1: the first line names the columns of a Chromium export, not of a "
                  "Firefox export"},
         }) {
        WriteText(Path("bad.csv"), c.text);
        for (const fs::path& target : {existing, Path("new.tsf")}) {
            std::vector<std::string> args{"import-csv", Path("bad.csv").string(), target.string()};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const CliRun run = Cli(args);
            EXPECT_EQ(run.status, 1) << c.text;
            EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("nothing was imported"), std::string::npos) << run.err;
        }
        EXPECT_EQ(ReadText(existing), bytes);
        EXPECT_FALSE(fs::exists(Path("new.tsf")));
    }
    // Named, a program's lines need no header.
    WriteText(Path("bare.csv"), "site,https://s.example,u,p\n");
    const CliRun run = Cli({"import-csv", Path("bare.csv").string(), Path("bare.tsf").string(),
                            "--format", "chromium"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("1 card imported"), std::string::npos);
}

TEST_F(CliTest, ABadLineIsReportedByNumberAndNothingIsWritten) {
    struct Case {
        std::string text;
        std::string where;
    };
    for (const Case& c : {Case{"0\ta\tb\tc\td\te\n1\tonly\tthree\n", "line 2"},
                          Case{"15\ta\tb\tc\td\te\n", "line 1"},
                          Case{"0\ta\tb\tc\td\te\n\nx\ta\tb\tc\td\te\n", "line 3"},
                          Case{"0\ta\tb\tc\td\te\tf\n9\tshort\n", "line 2"}}) {
        WriteText(Path("bad.txt"), c.text);
        const CliRun run = Cli({"import", Path("bad.txt").string(), Path("out.tsf").string()});
        EXPECT_EQ(run.status, 1) << c.text;
        EXPECT_NE(run.err.find(c.where), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(Path("out.tsf")));
    }
}

TEST_F(CliTest, PasswdReEnciphersOrStoresPlainAndKeepsTheFileOnRefusal) {
    const fs::path file = MakeFile("cards.tse", kCards, "old password");
    const std::string before = ReadText(file);

    // A refused new password leaves the file byte for byte as it was.
    CliRun run = Cli({"passwd", file.string()}, "old password\nshort\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Password to short, please use more characters!"), std::string::npos);
    EXPECT_EQ(ReadText(file), before);
    run = Cli({"passwd", file.string()}, "not the password\nnew password\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ReadText(file), before);

    run = Cli({"passwd", file.string()}, "old password\nnew password\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Cli({"ls", file.string()}, "old password\n").status, 1);
    const std::string listed = Cli({"ls", file.string()}, "new password\n").out;
    EXPECT_NE(listed.find("visa"), std::string::npos);

    // Stored plain, the file needs a name that says so.
    const fs::path plainName = Path("cards.tsf");
    fs::rename(file, plainName);
    run = Cli({"passwd", plainName.string(), "--plain"}, "new password\n");
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"info", plainName.string()});
    EXPECT_NE(run.out.find("Encrypted: no\n"), std::string::npos);
    EXPECT_EQ(Cli({"ls", plainName.string()}).out, listed);
}

// A name ending in .tse says the cards are encrypted: no command stores them in clear
// under it, and the file there stays as it was.
TEST_F(CliTest, NoCommandWritesCardsInClearUnderATseName) {
    const fs::path locked = MakeFile("locked.tse", kCards, "old password");
    const fs::path plain = MakeFile("plain.tse", kCards);
    WriteText(Path("in.txt"), "0\tmail\t\tme\ts3cret!\t\r\n");
    struct Case {
        std::vector<std::string> args;
        std::string input;
        fs::path target;
    };
    for (const Case& c : std::vector<Case>{
             {{"passwd", locked.string(), "--plain"}, "old password\n", locked},
             {{"passwd", plain.string(), "--plain"}, "", plain},
             {{"import", Path("in.txt").string(), plain.string()}, "", plain},
             {{"import", "-", plain.string()}, ReadText(Path("in.txt")), plain},
             {{"import-csv", CsvFixture("keepassxc.csv"), plain.string()}, "", plain},
         }) {
        const std::string before = ReadText(c.target);
        const CliRun run = Cli(c.args, c.input);
        EXPECT_EQ(run.status, 1) << ::testing::PrintToString(c.args);
        EXPECT_NE(run.err.find(c.target.string() +
                               ": not written: a name ending in .tse is kept for encrypted files"),
                  std::string::npos)
            << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(ReadText(c.target), before);
    }
    // Enciphered under a new password, the plain one is fine under its name.
    const CliRun run = Cli({"passwd", plain.string()}, "new password\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(InspectHeader(testing::ReadFileBytes(plain)).encrypted);
}

// A file that holds no cards yet is made as a new one: encrypted when its name or --encrypt
// says so, and readable by its owner only, whatever mode it was created with.
TEST_F(CliTest, AnExistingFileWithoutCardsIsMadeAsANewFile) {
    WriteText(Path("in.txt"), "0\tmail\t\tme\ts3cret!\t\r\n");
    struct Case {
        std::string name;
        std::string bytes;  // what the file holds before
        std::vector<std::string> options;
        bool encrypted;
    };
    const std::string header = ReadText(MakeFile("header.tsf", {}));
    for (const Case& c : std::vector<Case>{
             {"empty.tse", "", {}, true},
             {"header.tse", header, {}, true},
             {"empty.tsf", "", {}, false},
             {"header.tsf", header, {}, false},
             {"asked.tsf", "", {"--encrypt"}, true},
         }) {
        SCOPED_TRACE(c.name);
        const fs::path target = Path(c.name);
        WriteText(target, c.bytes);
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write |
                                    fs::perms::group_read | fs::perms::others_read);
        std::vector<std::string> args{"import", Path("in.txt").string(), target.string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = Cli(args, "long enough\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, target.string() + ": 1 card imported into a new file (" +
                               (c.encrypted ? "encrypted" : "not encrypted") + ")\n");
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write);
        const testing::Bytes written = testing::ReadFileBytes(target);
        EXPECT_EQ(InspectHeader(written).encrypted, c.encrypted);
        EXPECT_EQ(Cli({"ls", target.string()}, "long enough\n").status, 0);
    }
    // The same for CSV.
    WriteText(Path("csv.tse"), "");
    CliRun run =
        Cli({"import-csv", CsvFixture("keepassxc.csv"), Path("csv.tse").string()}, "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(InspectHeader(testing::ReadFileBytes(Path("csv.tse"))).encrypted);
    // From the standard input, a new password for an empty .tse cannot be read too.
    WriteText(Path("stdin.tse"), "");
    run = Cli({"import", "-", Path("stdin.tse").string()}, ReadText(Path("in.txt")));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ReadText(Path("stdin.tse")), "");
}

// A sealed file says it is damaged when a byte changed, was cut off or added, before any
// password is asked for; a wrong password is said to be one only when the file is whole.
TEST_F(CliTest, AChangedSealedFileIsNotBlamedOnThePassword) {
    WriteText(Path("in.txt"), "0\tmail\t\tme\ts3cret!\t\r\n");
    const fs::path file = Path("sealed.tse");
    CliRun run = Cli(
        {"import", Path("in.txt").string(), file.string(), "--kdf-memory", "1", "--kdf-ops", "1"},
        "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string sealed = ReadText(file);
    struct Case {
        const char* what;
        std::string bytes;
        std::string password;
    };
    auto flipped = [&](std::size_t at) {
        std::string b = sealed;
        b[at] = static_cast<char>(b[at] ^ 0x01);
        return b;
    };
    for (const Case& c : std::vector<Case>{
             {"payload byte", flipped(sealed.size() - 20), "long enough"},
             {"salt byte", flipped(32), "long enough"},
             {"nonce byte", flipped(48), "long enough"},
             {"cut short", sealed.substr(0, sealed.size() - 1), "long enough"},
             {"a byte added", sealed + '\0', "long enough"},
             {"unchanged, wrong password", sealed, "wrong enough"},
         }) {
        SCOPED_TRACE(c.what);
        WriteText(file, c.bytes);
        run = Cli({"ls", file.string()}, c.password + "\n");
        EXPECT_EQ(run.status, 1);
        const bool whole = c.bytes == sealed;
        EXPECT_NE(run.err.find(whole ? "Password not correct, please try again."
                                     : "sealed.tse is damaged: it changed after it was "
                                       "written. A copy made before the damage, or a sync "
                                       "copy, may still be whole."),
                  std::string::npos)
            << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST_F(CliTest, InfoCountsTheRecycleBinTombstonesAndEarlierVersionsOfASealedFile) {
    CCardCollection cards;
    CCard* bank = testing::AddCard(cards, {.code = 4, .name = "Bank", .password = "now"});
    CCard earlier = *bank;
    bank->SetHistory({earlier, earlier, earlier});
    CCard* old = cards.Adopt(testing::MakeCard({.code = 0, .name = "old"}));
    old->SetRecycledMs(1);
    old->SetHistory({earlier});
    cards.RecycleBin().AddCard(old);
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    cards.Tombstones().push_back({{1}, now});
    cards.Tombstones().push_back({{2}, now - 1000});
    FileCipherState state = testing::CipherFor("long enough");
    state.sealed = true;
    state.seal = testing::kQuickSeal;
    const WriteResult written = BuildDataFile(cards, state);
    ASSERT_TRUE(written.bytes.has_value());
    ASSERT_TRUE(testing::WriteFileBytes(Path("history.tse"), *written.bytes));
    const CliRun run = Cli({"info", Path("history.tse").string()}, "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line : {"Cards: 1", "Recycled cards: 1", "Tombstones: 2",
                             "Versions in history: 4", "Payload version: 1"}) {
        EXPECT_NE(run.out.find(std::string(line) + "\n"), std::string::npos) << run.out;
    }
}

TEST_F(CliTest, ImportSealsByDefaultAndPasswdSwitchesLayoutsWithTheKeySettingsAsked) {
    WriteText(Path("in.txt"), "0\tmail\thttps://mail.example\tme\ts3cret!\tnote\r\n");
    const fs::path file = Path("new.tse");
    CliRun run = Cli({"import", Path("in.txt").string(), file.string(), "--encrypt", "--kdf-memory",
                      "1", "--kdf-ops", "2"},
                     "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    // info names the layout and the key settings before it asks for the password.
    run = Cli({"info", file.string()}, "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* line :
         {"Format: Sealed", "Encrypted: yes", "Layout: sealed", "Sealed layout: TessalineSealed2",
          "Key derivation: Argon2id, 2 operations, 1024 KiB memory", "Payload version: 1",
          "Cards: 1", "Recycled cards: 0", "Tombstones: 0", "Versions in history: 0"}) {
        EXPECT_NE(run.out.find(std::string(line) + "\n"), std::string::npos) << line;
    }
    // The older layouts' header value is no business of a sealed file's reader.
    EXPECT_EQ(run.out.find("offset 18"), std::string::npos) << run.out;
    EXPECT_EQ(Cli({"ls", file.string()}, "wrong password\n").status, 1);

    struct Step {
        std::vector<std::string> options;
        const char* layout;
        const char* kdf;  // the key derivation line, when sealed
    };
    const Step steps[] = {
        {{"--compatible"}, "Layout: compatible (older readers; weaker)", nullptr},
        {{}, "Layout: compatible (older readers; weaker)", nullptr},  // kept
        {{"--sealed", "--kdf-ops", "1", "--kdf-memory", "2"},
         "Layout: sealed",
         "Key derivation: Argon2id, 1 operations, 2048 KiB memory"},
        {{}, "Layout: sealed", "Key derivation: Argon2id, 1 operations, 2048 KiB memory"},
    };
    for (const Step& step : steps) {
        std::vector<std::string> args{"passwd", file.string()};
        args.insert(args.end(), step.options.begin(), step.options.end());
        run = Cli(args, "long enough\nlong enough\n");
        ASSERT_EQ(run.status, 0) << run.err;
        run = Cli({"info", file.string()}, "long enough\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(std::string(step.layout) + "\n"), std::string::npos) << run.out;
        if (step.kdf) {
            EXPECT_NE(run.out.find(std::string(step.kdf) + "\n"), std::string::npos) << run.out;
        }
        EXPECT_NE(run.out.find("Cards: 1\n"), std::string::npos);
    }

    // A compatible file asked for on import; contradicting layouts and bad settings are
    // usage errors.
    run = Cli(
        {"import", Path("in.txt").string(), Path("old.tse").string(), "--encrypt", "--compatible"},
        "long enough\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(
        Cli({"info", Path("old.tse").string()}, "long enough\n").out.find("Layout: compatible"),
        std::string::npos);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"passwd", file.string(), "--plain", "--sealed"},
          std::vector<std::string>{"passwd", file.string(), "--sealed", "--compatible"},
          std::vector<std::string>{"passwd", file.string(), "--kdf-memory", "0"},
          std::vector<std::string>{"passwd", file.string(), "--kdf-memory", "1025"},
          std::vector<std::string>{"passwd", file.string(), "--kdf-ops", "11"}}) {
        EXPECT_EQ(Cli(args, "long enough\nlong enough\n").status, 2) << args[2];
    }
}

// A file cut short inside its last card: the reader stops there.
TEST_F(CliTest, ADamagedFileFailsEveryCommandAndExportWritesNothingUnlessAsked) {
    const fs::path file = MakeFile("cut.tsf", kCards);
    const std::string whole = ReadText(file);
    WriteText(file, whole.substr(0, whole.size() - 6));

    CliRun run = Cli({"info", file.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Damaged: "), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("damaged"), std::string::npos) << run.err;
    EXPECT_EQ(Cli({"ls", file.string()}).status, 1);

    run = Cli({"export", file.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("nothing was written; add --partial"), std::string::npos) << run.err;
    const fs::path out = Path("cut.txt");
    run = Cli({"export", file.string(), out.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(out));

    // Asked for, the cards that could be read go out, and that is a success.
    run = Cli({"export", file.string(), out.string(), "--partial"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(ReadText(out));
    EXPECT_EQ(lines.size(), kCards.size() - 1);
}

TEST_F(CliTest, ImportFromStandardInputIsRefusedUpFrontWhenAPasswordWouldBeNeeded) {
    const std::string text = "0\tmail\t\tme\ts3cret!\t\r\n";
    const fs::path locked = MakeFile("locked.tse", kCards, "correct horse");
    const std::string before = ReadText(locked);
    struct Case {
        std::vector<std::string> args;
        fs::path target;
    };
    for (const Case& c : std::vector<Case>{
             {{"import", "-", Path("new.tse").string()}, Path("new.tse")},
             {{"import", "-", Path("new.tsf").string(), "--encrypt"}, Path("new.tsf")},
             {{"import", "-", locked.string()}, locked},
         }) {
        // The text's first line would otherwise be taken for the password.
        const CliRun run = Cli(c.args, "correct horse\n" + text);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(c.args);
        EXPECT_NE(run.err.find("the standard input cannot hold both the text to import and the "
                               "password"),
                  std::string::npos)
            << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_FALSE(fs::exists(Path("new.tse")));
    EXPECT_FALSE(fs::exists(Path("new.tsf")));
    EXPECT_EQ(ReadText(locked), before);

    // Where no password is asked for, the standard input holds the text.
    const fs::path plain = MakeFile("plain.tsf", kCards);
    CliRun run = Cli({"import", "-", plain.string()}, text);
    EXPECT_EQ(run.status, 0) << run.err;
    run = Cli({"import", "-", Path("new.tsf").string()}, text);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Cli({"export", Path("new.tsf").string()}).out, text);
}

TEST_F(CliTest, APasswordWithAZeroByteIsRefusedAndNothingIsWritten) {
    const fs::path file = MakeFile("cards.tse", kCards, "old password");
    const std::string before = ReadText(file);
    const std::string zero("new pass\0word\n", 14);
    CliRun run = Cli({"passwd", file.string()}, "old password\n" + zero);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("A password cannot contain a zero character"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadText(file), before);

    WriteText(Path("in.txt"), "0\tmail\t\tme\ts3cret!\t\r\n");
    run = Cli({"import", Path("in.txt").string(), Path("new.tse").string()}, zero);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("A password cannot contain a zero character"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("new.tse")));
}

TEST_F(CliTest, ANonAsciiPasswordKeysTheFileAsTheDesktopProgramDoes) {
    // "pässwort1" typed on a UTF-8 terminal keys the file with its Windows-1252 bytes.
    WriteText(Path("in.txt"), "0\tmail\t\tme\ts3cret!\t\r\n");
    CliRun run =
        Cli({"import", Path("in.txt").string(), Path("new.tse").string()}, "p\xC3\xA4sswort1\n");
    ASSERT_EQ(run.status, 0) << run.err;
    testing::ScriptedAnswers ui;
    ui.Password("p\xE4sswort1");
    MemoryProfile profile;
    FileError error;
    const auto bytes = ReadWholeFile(Path("new.tse").string(), error);
    ASSERT_TRUE(bytes);
    const ReadResult read =
        ReadDataFileWithUser(*bytes, UserReadRequest{ui, DateFormatIndex(profile), "new.tse", ""});
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(read.state.encryptionPassword, "p\xE4sswort1");

    // A file keyed with the raw UTF-8 (as this program once did) still opens, and passwd
    // keeps working on it.
    const fs::path old = MakeFile("old.tse", kCards, "p\xC3\xA4sswort1");
    run = Cli({"ls", old.string()}, "p\xC3\xA4sswort1\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("visa"), std::string::npos);
}

TEST_F(CliTest, TextLeavesInUtf8AndComesBackAsTheWindowStoresIt) {
    // "Café" kept in Windows-1252 (typed in the window), "naïve" kept in UTF-8.
    const fs::path file = MakeFile(
        "mixed.tsf", {{.code = 0, .name = "Caf\xE9", .user = "me", .password = "na\xC3\xAFve"}});
    CliRun run = Cli({"ls", file.string(), "--show-passwords"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out)[1], "Caf\xC3\xA9\tWWW Sites\tme\tna\xC3\xAFve");
    run = Cli({"search", file.string(), "CAF\xC3\x89"});
    EXPECT_EQ(Lines(run.out).size(), 2u) << run.out;

    run = Cli({"export", file.string()});
    EXPECT_EQ(run.out, "0\tCaf\xC3\xA9\t\tme\tna\xC3\xAFve\t\r\n");

    // Imported, each text is kept as the window keeps typed text.
    WriteText(Path("in.txt"), run.out);
    ASSERT_EQ(Cli({"import", Path("in.txt").string(), Path("back.tsf").string()}).status, 0);
    const std::string bytes = ReadText(Path("back.tsf"));
    EXPECT_NE(bytes.find(std::string("Caf\xE9\0", 5)), std::string::npos);
    EXPECT_EQ(bytes.find("Caf\xC3\xA9"), std::string::npos);
    EXPECT_EQ(Cli({"export", Path("back.tsf").string()}).out, run.out);
}

TEST_F(CliTest, GenerateDrawsFromTheChosenClasses) {
    struct Case {
        std::vector<std::string> args;
        std::size_t length;
        std::string alphabet;
    };
    const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ", lower = "abcdefghijklmnopqrstuvwxyz",
                      digits = "0123456789", punctuation = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
    // Without a class named: 20 characters of all four classes.
    for (const Case& c : {Case{{}, 20, upper + lower + digits + punctuation},
                          Case{{"--length", "63", "--numbers"}, 63, digits},
                          Case{{"--length", "40", "--upper", "--lower"}, 40, upper + lower},
                          Case{{"--length", "0"}, 0, ""}}) {
        std::vector<std::string> args{"generate"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(run.out.size(), c.length + 1) << run.out;
        EXPECT_EQ(run.out.back(), '\n');
        EXPECT_EQ(run.out.find_first_not_of(c.alphabet), c.length) << run.out;
    }
    const CliRun others = Cli({"generate", "--length", "63", "--others"});
    EXPECT_EQ(others.out.find_first_of(upper + lower + digits), std::string::npos);
    // Two passwords drawn in the same second differ.
    const CliRun many = Cli({"generate", "--count", "20", "--length", "16"});
    const std::vector<std::string> lines = Lines(many.out);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), 20u);
}

// Words of the installed EFF list (from the diceware package), joined by "-" unless told
// otherwise; the list is looked for under the data folders first.
TEST_F(CliTest, GeneratePassphrasesFromTheEffWordList) {
    std::set<std::string> eff;
    {
        std::ifstream in("/usr/lib/python3/dist-packages/diceware/wordlists/wordlist_en_eff.txt");
        for (std::string dice, word; in >> dice >> word;)
            eff.insert(word);
    }
    ASSERT_EQ(eff.size(), 7776u) << "the diceware package is not installed";
    const auto split = [](const std::string& line, const std::string& separator) {
        std::vector<std::string> words;
        for (std::size_t at = 0;;) {
            const std::size_t next = line.find(separator, at);
            words.push_back(line.substr(at, next - at));
            if (next == std::string::npos)
                return words;
            at = next + separator.size();
        }
    };
    struct Case {
        std::vector<std::string> args;
        std::size_t lines, words;
        std::string separator;
    };
    for (const Case& c :
         {Case{{}, 1, 6, "-"}, Case{{"--words", "8", "--separator", " "}, 1, 8, " "},
          Case{{"--count", "3", "--words", "1"}, 3, 1, "-"},
          Case{{"--separator", "+=", "--words", "20"}, 1, 20, "+="}}) {
        std::vector<std::string> args{"generate", "--passphrase"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun run = Cli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        ASSERT_EQ(lines.size(), c.lines) << run.out;
        for (const std::string& line : lines) {
            const std::vector<std::string> words = split(line, c.separator);
            EXPECT_EQ(words.size(), c.words) << line;
            for (const std::string& w : words)
                EXPECT_TRUE(eff.count(w)) << w << " in " << line;
        }
    }
    // A list under XDG_DATA_DIRS comes first.
    const fs::path share = Path("share");
    fs::create_directories(share / "diceware/wordlists");
    {
        std::ofstream out(share / "diceware/wordlists/wordlist_en_eff.txt");
        for (int i = 0; i < 7776; ++i)
            out << 11111 + i << "\tmine" << i << "\n";
    }
    ::setenv("XDG_DATA_DIRS", share.c_str(), 1);
    const CliRun own = Cli({"generate", "--passphrase", "--words", "5"});
    ::unsetenv("XDG_DATA_DIRS");
    ASSERT_EQ(own.status, 0) << own.err;
    for (const std::string& w : split(Lines(own.out).at(0), "-"))
        EXPECT_TRUE(w.starts_with("mine")) << own.out;

    for (const auto& [args, message] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"generate", "--words", "3"}, "--words needs --passphrase"},
             {{"generate", "--separator", "."}, "--separator needs --passphrase"},
             {{"generate", "--passphrase", "--words", "0"},
              "--words takes a number from 1 to 20, not \"0\""},
             {{"generate", "--passphrase", "--others"},
              "--others and --passphrase cannot be given together"},
             {{"generate", "--passphrase", "--separator", "12345678901"},
              "--separator takes at most 10 characters"},
         }) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n')), "tessaline-cli: " + message);
        EXPECT_TRUE(run.out.empty());
    }
}

// analyze: one row a problem, on an encrypted file; with --hibp the cards whose password an
// offline list of breached passwords holds, with the count.
TEST_F(CliTest, AnalyzeListsTheProblemsOfEachCard) {
    const auto stampDaysAgo = [](int days) {
        return static_cast<std::uint32_t>(std::time(nullptr) + kSeconds1904To1970 -
                                          std::int64_t{days} * 86400);
    };
    const std::string strong = "LyaKtXS\"gOWa\"EAz5zeI", shared = "9q!Vb#2mWz&Lr7^Kd4$x";
    const fs::path file = MakeFile(
        "health.tse",
        {{.code = 0, .name = "fine", .user = "me", .password = strong, .time = stampDaysAgo(3)},
         {.code = 0, .name = "web", .user = "me", .password = "password", .time = stampDaysAgo(3)},
         {.code = 0, .name = "shop", .user = "me", .password = shared, .time = stampDaysAgo(3)},
         {.code = 8, .name = "visa", .user = "4111", .password = shared, .time = stampDaysAgo(3)},
         {.code = 14,
          .name = "old",
          .user = "me",
          .password = "Ab3$Cd5%Ef7^Gh9&Jk2*",
          .time = stampDaysAgo(500)},
         {.code = 14,
          .name = "Zx2@Cv4#Bn6$Mm8%Ll0^",
          .user = "me",
          .password = "zX2@cV4#bN6$mM8%lL0^",
          .time = stampDaysAgo(3)},
         {.code = 9, .name = "pin", .user = "", .password = "123456", .time = stampDaysAgo(3)}},
        "file-password");
    const std::string header = "Card\tCategory\tProblem\n";
    const std::string rows =
        "web\tWWW Sites\tWeak password (0 bits, poor)\n"
        "pin\tATM/PIN Cards\tWeak password (1 bit, poor)\n"
        "shop\tWWW Sites\tReused password (group 1: 2 cards)\n"
        "visa\tCredit Cards\tReused password (group 1: 2 cards)\n"
        "old\tMiscellaneous\tPassword not changed for 500 days\n"
        "Zx2@Cv4#Bn6$Mm8%Ll0^\tMiscellaneous\tPassword is the card's name\n";
    const CliRun plain = Cli({"analyze", file.string()}, "file-password\n");
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out, header + rows);

    std::vector<std::string> listed = {"7C4A8D09CA3762AF61E59520943DC26494F8941B:37359195",
                                       "5BAA61E4C9B93F3F0682250B6CF8331B7EE68FD8:9545824"};
    std::sort(listed.begin(), listed.end());
    WriteText(Path("pwned.txt"), listed[0] + "\r\n" + listed[1] + "\r\n");
    const CliRun hibp =
        Cli({"analyze", "--hibp", Path("pwned.txt").string(), file.string()}, "file-password\n");
    EXPECT_EQ(hibp.status, 0) << hibp.err;
    EXPECT_EQ(hibp.out, header + rows +
                            "web\tWWW Sites\tPassword found in the breach list (9545824 times)\n"
                            "pin\tATM/PIN Cards\tPassword found in the breach list (37359195 "
                            "times)\n");

    // A list that is not there is named before any password is asked.
    const CliRun missing = Cli({"analyze", file.string(), "--hibp", Path("nope.txt").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "tessaline-cli: " + Path("nope.txt").string() + ": No such file or directory\n");
    EXPECT_TRUE(missing.out.empty());
    WriteText(Path("bad.txt"), std::string(5000, 'x') + "\n");
    const CliRun bad =
        Cli({"analyze", "--hibp", Path("bad.txt").string(), file.string()}, "file-password\n");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("not a sorted list of HASH:COUNT lines"), std::string::npos) << bad.err;

    const fs::path good = MakeFile(
        "good.tsf", {{.code = 0, .name = "fine", .password = strong, .time = stampDaysAgo(1)}});
    const CliRun none = Cli({"analyze", good.string()});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "No problems found in 1 card.\n");
    EXPECT_EQ(Cli({"analyze", "--hibp", "-", good.string()}).status, 2);
}

// Two writers at once: every import into one file either lands in it or fails with the
// message; never do both report success while one of them is lost.
TEST_F(CliTest, TwoImportsIntoOneFileAtOnceKeepBothOrOneSaysItFailed) {
    struct Running {
        pid_t pid = -1;
        fs::path err;
    };
    auto start = [&](const std::vector<std::string>& args, const std::string& tag) {
        Running r;
        r.err = Path(tag + ".err");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, r.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        r.pid = SpawnCli(args, actions);
        EXPECT_GT(r.pid, 0);
        posix_spawn_file_actions_destroy(&actions);
        return r;
    };
    auto finish = [](const Running& r) {
        int status = 0;
        ::waitpid(r.pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    };

    const fs::path target = Path("shared.tsf");
    int bothKept = 0;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        fs::remove(target);
        MakeFile("shared.tsf", {{.code = 0, .name = "existing"}});
        WriteText(Path("a.txt"), "0\tfrom a\t\t\t\t\n");
        WriteText(Path("b.txt"), "0\tfrom b\t\t\t\t\n");
        const Running a = start({"import", Path("a.txt").string(), target.string()}, "a");
        const Running b = start({"import", Path("b.txt").string(), target.string()}, "b");
        const int statusA = finish(a);
        const int statusB = finish(b);

        const std::string listed = Cli({"ls", target.string()}).out;
        const bool hasA = listed.find("from a") != std::string::npos;
        const bool hasB = listed.find("from b") != std::string::npos;
        EXPECT_NE(listed.find("existing"), std::string::npos);
        for (const auto& [status, has, err] :
             {std::tuple{statusA, hasA, a.err}, std::tuple{statusB, hasB, b.err}}) {
            if (status == 0) {
                EXPECT_TRUE(has) << "an import that reported success is not in the file";
            } else {
                EXPECT_EQ(status, 1);
                EXPECT_NE(ReadText(err).find(target.string() +
                                             " is being changed by another program; try again."),
                          std::string::npos)
                    << ReadText(err);
            }
        }
        bothKept += statusA == 0 && statusB == 0 && hasA && hasB;
    }
    // The second writer waits for the first: normally both imports succeed.
    EXPECT_GT(bothKept, 0);
}

// Both commands that rewrite a data file wait for a writer that holds it, then give up
// with the message and leave the file as it was.
TEST_F(CliTest, WritersGiveUpOnAFileAnotherProgramIsChanging) {
    const fs::path file = MakeFile("held.tsf", kCards);
    const std::string before = ReadText(file);
    WriteText(Path("one.txt"), "0\tone\t\t\t\t\n");
    std::optional<DataFileLock> other = DataFileLock::Acquire(file.string());
    ASSERT_TRUE(other && other->Held());
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"import", Path("one.txt").string(), file.string()},
          std::vector<std::string>{"passwd", file.string(), "--plain"}}) {
        const CliRun run = Cli(args, "long enough\nlong enough\n");
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_NE(run.err.find(file.string() + " is being changed by another program; try again."),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(ReadText(file), before);
    }
    other.reset();
    EXPECT_EQ(Cli({"import", Path("one.txt").string(), file.string()}).status, 0);
}

// Every command that opens a data file removes what interrupted saves of it left beside
// it: our own copies only, never a link, a folder or another user's file.
TEST_F(CliTest, OpeningADataFileRemovesOnlyOurOwnSaveLeftovers) {
    WriteText(Path("one.txt"), "0\tone\t\t\t\t\n");
    const std::vector<std::vector<std::string>> commands = {
        {"ls"}, {"info"}, {"search", "mail"}, {"export", "out.txt"}, {"import"}, {"passwd"}};
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command[0]);
        fs::create_directory(Path(command[0]));
        const fs::path file = MakeFile(command[0] + "/cards.tsf", kCards);
        const testing::SaveLeftovers made = testing::MakeSaveLeftovers(file);
        std::vector<std::string> args;
        if (command[0] == "import") {
            args = {"import", Path("one.txt").string(), file.string()};
        } else if (command[0] == "passwd") {
            args = {"passwd", file.string(), "--plain"};
        } else {
            args = {command[0], file.string()};
            if (command.size() > 1)
                args.push_back(command[0] == "export" ? Path(command[1]).string() : command[1]);
        }
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        for (const fs::path& p : made.ours)
            EXPECT_FALSE(fs::exists(fs::symlink_status(p))) << p;
        for (const fs::path& p : made.others)
            EXPECT_TRUE(fs::exists(fs::symlink_status(p))) << p;
    }
}

// The standard input is held to the limit of a file: a source without end is refused
// once it passes the limit, and nothing is written.
TEST_F(CliTest, ImportFromStandardInputStopsAtTheLimitAndWritesNothing) {
    const fs::path out = Path("out.tsf");
    const fs::path err = Path("err.txt");
    // One MiB more than the limit, from a pipe.
    const std::string script = "head -c " + std::to_string(kMaxReadableFileSize + (1u << 20)) +
                               " /dev/zero | '" + std::string(TESSALINE_CLI) + "' import - '" +
                               out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(script.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadText(err),
              "tessaline-cli: the standard input is larger than 256 MiB, the most this program "
              "reads; it was not read.\n");
    EXPECT_FALSE(fs::exists(out));
}

// A command running with its standard input a pipe this test holds, so that it waits at
// its password prompt for as long as the test wants.
class WaitingCli {
public:
    WaitingCli(const std::vector<std::string>& args, fs::path err) : err_(std::move(err)) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_ = SpawnCli(args, actions);
        EXPECT_GT(pid_, 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[0]);
        input_ = fds[1];
    }
    ~WaitingCli() { Finish(); }
    WaitingCli(const WaitingCli&) = delete;
    WaitingCli& operator=(const WaitingCli&) = delete;

    void Feed(const std::string& text) {
        EXPECT_EQ(::write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Until the program sleeps, waiting for input (it does nothing else that sleeps).
    void WaitUntilAsking() const {
        int asleep = 0;
        for (int i = 0; i < 1000 && asleep < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const std::string stat = ReadText("/proc/" + std::to_string(pid_) + "/stat");
            const std::size_t end = stat.rfind(')');
            asleep = end != std::string::npos && stat.substr(end + 2, 1) == "S" ? asleep + 1 : 0;
        }
        EXPECT_EQ(asleep, 5) << "the program did not come to its prompt";
    }
    int Finish() {
        if (input_ >= 0)
            ::close(std::exchange(input_, -1));
        if (pid_ > 0) {
            int status = 0;
            ::waitpid(std::exchange(pid_, -1), &status, 0);
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        return status_;
    }
    std::string Err() const { return ReadText(err_); }

private:
    fs::path err_;
    pid_t pid_ = -1;
    int input_ = -1;
    int status_ = -1;
};

// Nobody holds a data file while a person is asked something: a command waiting at its
// password prompt keeps no other writer from saving, and afterwards adds its change to
// the file as it is then (read again with the password given), or, when that file no
// longer opens with it, writes nothing. Creating a new file never blocks another file.
TEST_F(CliTest, AWriterWaitingAtItsPromptKeepsNoOtherWriterWaiting) {
    WriteText(Path("a.txt"), "0\tfrom a\t\t\t\t\n");
    WriteText(Path("b.txt"), "0\tfrom b\t\t\t\t\n");
    struct Case {
        std::string what;
        std::vector<std::string> waiting;  // {command, file} with the rest filled in below
        std::string fedFirst;              // before the other writer runs
        std::vector<std::string> other;
        std::string otherInput;
        std::string fedLast;
        int status;
        std::string listPassword;  // of the file afterwards
        std::vector<std::string> listed;
    };
    const std::string pw = "correct horse\n";
    const std::vector<Case> cases = {
        {"import at the file's password prompt",
         {"import", "a.txt", "locked.tse"},
         "",
         {"import", "b.txt", "locked.tse"},
         pw,
         pw,
         0,
         pw,
         {"from a", "from b", "mail"}},
        {"passwd at the new password prompt",
         {"passwd", "locked.tse"},
         pw,
         {"import", "b.txt", "locked.tse"},
         pw,
         "new password\n",
         0,
         "new password\n",
         {"from b", "mail"}},
        {"import, while another program changes the password",
         {"import", "a.txt", "locked.tse"},
         "",
         {"passwd", "locked.tse"},
         pw + "other password\n",
         pw,
         1,
         "other password\n",
         {"mail"}},
        {"import into a new file of the same folder",
         {"import", "a.txt", "new1.tse", "--compatible"},
         "",
         {"import", "b.txt", "new2.tsf"},
         "",
         "long enough\n",
         0,
         "long enough\n",
         {"from a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"locked.tse", "new1.tse", "new2.tsf"})
            fs::remove(Path(name));
        MakeFile("locked.tse", {{.code = 0, .name = "mail", .password = "pw"}}, "correct horse");
        std::vector<std::string> args{c.waiting[0]};
        for (std::size_t i = 1; i < c.waiting.size(); ++i)
            args.push_back(c.waiting[i].starts_with("--") ? c.waiting[i]
                                                          : Path(c.waiting[i]).string());
        std::vector<std::string> otherArgs{c.other[0]};
        for (std::size_t i = 1; i < c.other.size(); ++i)
            otherArgs.push_back(Path(c.other[i]).string());

        WaitingCli waiting(args, Path("waiting.err"));
        waiting.WaitUntilAsking();
        if (!c.fedFirst.empty()) {
            waiting.Feed(c.fedFirst);
            waiting.WaitUntilAsking();
        }
        const CliRun other = Cli(otherArgs, c.otherInput);
        EXPECT_EQ(other.status, 0) << other.err;
        waiting.Feed(c.fedLast);
        EXPECT_EQ(waiting.Finish(), c.status) << waiting.Err();

        const fs::path target = Path(c.waiting[c.waiting[0] == "passwd" ? 1 : 2]);
        const CliRun listed = Cli({"ls", target.string()}, c.listPassword);
        ASSERT_EQ(listed.status, 0) << listed.err;
        for (const std::string& name : c.listed)
            EXPECT_NE(listed.out.find(name), std::string::npos) << name << "\n" << listed.out;
        EXPECT_EQ(Lines(listed.out).size(), c.listed.size() + 1) << listed.out;
        if (c.status != 0) {
            EXPECT_NE(waiting.Err().find("was changed by another program meanwhile and no longer "
                                         "opens whole with the password given; nothing was "
                                         "written"),
                      std::string::npos)
                << waiting.Err();
        }
    }
    EXPECT_TRUE(fs::exists(Path("new2.tsf")));
}

}  // namespace
}  // namespace tessaline
