// show, add, edit, rm and restore as a user runs them: the real tessaline-cli on real
// files. Some checks need a layout that keeps identities, earlier versions and the recycle
// bin between two runs (TessalineSealed2); on a file in another layout they are skipped,
// saying so.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "support/cli_run.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::ReadText;
using testing::WriteText;

constexpr const char* kFilePassword = "long enough\n";

// The value of the first "Label: value" line of show's output; "<none>" without one.
std::string Field(const std::string& out, const std::string& label) {
    const std::string key = label + ": ";
    std::size_t at = out.starts_with(key) ? 0 : out.find("\n" + key);
    if (at == std::string::npos)
        return "<none>";
    at += (at == 0 ? 0 : 1) + key.size();
    return out.substr(at, out.find('\n', at) - at);
}

class CliCardCommands : public testing::CliFolderTest {
protected:
    CliCardCommands() : CliFolderTest("tessaline-cli-cards-") {}

    // A sealed file with small key settings, made from exported lines by import.
    std::string Sealed(const std::string& lines) {
        WriteText(Path("in.txt"), lines);
        const fs::path file = Path("cards.tse");
        const CliRun run = Cli({"import", Path("in.txt").string(), file.string(), "--encrypt",
                                "--kdf-memory", "1", "--kdf-ops", "1"},
                               kFilePassword);
        EXPECT_EQ(run.status, 0) << run.err;
        return file.string();
    }

    // Whether the file's layout keeps what a card holds beyond its texts.
    static bool KeepsEveryVersion(const std::string& file) {
        return ReadText(file).starts_with("TessalineSealed2");
    }
};

TEST_F(CliCardCommands, AddShowEditAndDeleteACard) {
    const std::string file = Sealed("0\tmail\thttps://mail.example\tme\ts3cret!\tnote\r\n");
    CliRun run = Cli({"add", file, "--category", "Bank Accounts", "--name", "Bank", "--user", "joe",
                      "--note", "branch 12", "--password-prompt", "--tag", "money"},
                     std::string(kFilePassword) + "hunter22\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_search(
        run.out, std::regex(": added \"Bank\" to Bank Accounts \\(identity [0-9a-f]{32}\\)\n$")))
        << run.out;

    run = Cli({"ls", file, "Bank Accounts", "--show-passwords"}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Bank\tBank Accounts\tjoe\thunter22\n"), std::string::npos) << run.out;

    // Passwords are masked unless asked for.
    run = Cli({"show", file, "Bank"}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Field(run.out, "Name"), "Bank");
    EXPECT_EQ(Field(run.out, "Category"), "Bank Accounts");
    EXPECT_EQ(Field(run.out, "User ID"), "joe");
    EXPECT_EQ(Field(run.out, "Note"), "branch 12");
    EXPECT_EQ(Field(run.out, "Password"), "****");
    EXPECT_EQ(run.out.find("hunter22"), std::string::npos);
    run = Cli({"show", file, "Bank", "--show-passwords"}, kFilePassword);
    EXPECT_EQ(Field(run.out, "Password"), "hunter22");

    // A generated password of the length asked for, or the generator's own length.
    for (const auto& [args, length] : std::vector<std::pair<std::vector<std::string>, std::size_t>>{
             {{"edit", file, "Bank", "--generate", "30"}, 30},
             {{"edit", file, "Bank", "--generate"}, 20}}) {
        run = Cli(args, kFilePassword);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, file + ": changed \"Bank\" (Bank Accounts)\n");
        run = Cli({"show", file, "Bank", "--show-passwords"}, kFilePassword);
        EXPECT_EQ(Field(run.out, "Password").size(), length) << run.out;
    }

    // Nothing to change is said, and nothing written.
    const std::string before = ReadText(file);
    run = Cli({"edit", file, "Bank", "--user", "joe"}, kFilePassword);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, file + ": \"Bank\" already holds that; nothing was changed\n");
    EXPECT_EQ(ReadText(file), before);

    // A move and a rename at once.
    run = Cli({"edit", file, "Bank", "--category", "Online Banking", "--name", "Bank online"},
              kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"ls", file}, kFilePassword);
    EXPECT_NE(run.out.find("Bank online\tOnline Banking\tjoe\t****\n"), std::string::npos)
        << run.out;

    run = Cli({"rm", file, "Bank online", "--permanent"}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, file + ": \"Bank online\" deleted for good\n");
    run = Cli({"show", file, "Bank online"}, kFilePassword);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("there is no card named \"Bank online\""), std::string::npos);
    EXPECT_EQ(Cli({"ls", file}, kFilePassword).out.find("Bank"), std::string::npos);
}

TEST_F(CliCardCommands, MistakesChangeNothing) {
    const std::string file = Sealed("0\tmail\t\tme\ts3cret!\t\r\n");
    const std::string before = ReadText(file);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"add", file, "--name", "x"}, 2, "add needs --category and --name"},
        {{"add", file, "--category", "Recipes", "--name", "x"},
         2,
         "there is no category \"Recipes\" for a card"},
        {{"add", file, "--category", "Show All", "--name", "x"},
         2,
         "there is no category \"Show All\" for a card"},
        {{"add", file, "--category", "0", "--name", "x", "--tag", ""}, 2, "--tag needs a word"},
        {{"add", file, "--category", "0", "--name", "x", "--generate", "64"},
         2,
         "--generate takes a number from 1 to 63, not \"64\""},
        {{"add", file, "--category", "0", "--name", "x", "--generate", "--password-prompt"},
         2,
         "--password-prompt and --generate cannot be given together"},
        {{"show", file}, 2, "show needs CARD or --id PREFIX (one of them)"},
        {{"show", file, "mail", "--id", "ab"}, 2, "show needs CARD or --id PREFIX (one of them)"},
        {{"rm", file, "--id", "xyz"}, 2, "--id takes hexadecimal digits (0-9, a-f), not \"xyz\""},
        {{"edit", file, "mail"}, 2, "edit needs something to change"},
        {{"restore", file, "mail", "--version", "0"},
         2,
         "--version takes a number from 1 to 1000000, not \"0\""},
        {{"edit", file, "nobody", "--user", "x"}, 1, file + ": there is no card named \"nobody\""},
        {{"restore", file, "mail"}, 1, file + ": \"mail\" is not in the recycle bin"},
        {{"restore", file, "mail", "--version", "1"},
         1,
         file + ": \"mail\" has 0 earlier versions"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.args, kFilePassword);
        EXPECT_EQ(run.status, c.status) << ::testing::PrintToString(c.args) << run.err;
        EXPECT_TRUE(run.err.starts_with("tessaline-cli: " + c.message))
            << ::testing::PrintToString(c.args) << "\n"
            << run.err;
        EXPECT_EQ(ReadText(file), before) << ::testing::PrintToString(c.args);
    }
    // The wrong file password changes nothing either.
    EXPECT_EQ(Cli({"add", file, "--category", "0", "--name", "x"}, "wrong password\n").status, 1);
    EXPECT_EQ(ReadText(file), before);
}

// Needs a layout that keeps earlier versions and the recycle bin between runs.
TEST_F(CliCardCommands, EarlierVersionsAndTheRecycleBinLastBetweenRuns) {
    const std::string file = Sealed("0\tmail\thttps://mail.example\tme\tfirst\t\r\n");
    for (const char* password : {"second", "third"}) {
        const CliRun run = Cli({"edit", file, "mail", "--password-prompt"},
                               std::string(kFilePassword) + password + "\n");
        ASSERT_EQ(run.status, 0) << run.err;
    }
    if (!KeepsEveryVersion(file))
        GTEST_SKIP() << "the saved layout keeps no earlier versions (needs TessalineSealed2)";

    CliRun run = Cli({"show", file, "mail", "--history", "--show-passwords"}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string identity = Field(run.out, "Identity");
    EXPECT_TRUE(std::regex_match(identity, std::regex("[0-9a-f]{32}"))) << run.out;
    EXPECT_EQ(Field(run.out, "Password"), "third");
    EXPECT_EQ(Field(run.out, "Earlier versions"), "2");
    EXPECT_NE(run.out.find("Version 1:\n  Name: mail\n  Category: WWW Sites\n  Address: "
                           "https://mail.example\n  User ID: me\n  Password: second\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Version 2:\n  Name: mail\n  Category: WWW Sites\n  Address: "
                           "https://mail.example\n  User ID: me\n  Password: first\n"),
              std::string::npos);
    run = Cli({"show", file, "mail", "--history"}, kFilePassword);
    EXPECT_EQ(run.out.find("second"), std::string::npos);
    EXPECT_EQ(run.out.find("first"), std::string::npos);

    // The oldest version comes back; the current one is kept.
    run = Cli({"restore", file, "mail", "--version", "2"}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    run = Cli({"show", file, "mail", "--history", "--show-passwords"}, kFilePassword);
    EXPECT_EQ(Field(run.out, "Password"), "first");
    EXPECT_EQ(Field(run.out, "Identity"), identity);
    EXPECT_NE(run.out.find("Version 1:\n  Name: mail\n  Category: WWW Sites\n  Address: "
                           "https://mail.example\n  User ID: me\n  Password: third\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  Password: second\n"), std::string::npos);

    // To the recycle bin and back.
    run = Cli({"rm", file, "--id", identity.substr(0, 6)}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, file + ": \"mail\" moved to the recycle bin\n");
    EXPECT_EQ(Cli({"ls", file}, kFilePassword).out.find("mail"), std::string::npos);
    run = Cli({"show", file, "mail"}, kFilePassword);
    EXPECT_NE(Field(run.out, "In the recycle bin since"), "<none>") << run.out;
    run = Cli({"rm", file, "mail"}, kFilePassword);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("in the recycle bin already"), std::string::npos);
    run = Cli({"restore", file, "mail"}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, file + ": \"mail\" is back in WWW Sites\n");
    EXPECT_NE(Cli({"ls", file}, kFilePassword).out.find("mail\tWWW Sites"), std::string::npos);
}

// Needs a layout that keeps identities between runs for --id.
TEST_F(CliCardCommands, ANameSeveralCardsShareIsRefusedWithTheirIdentities) {
    const std::string file =
        Sealed("0\tmail\t\thome\tone\t\r\n5\tmail\t\twork\ttwo\t\r\n0\tother\t\t\t\t\r\n");
    CliRun run = Cli({"show", file, "mail"}, kFilePassword);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("2 cards are named \"mail\"; name one with --id"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out, "");
    run = Cli({"rm", file, "mail"}, kFilePassword);
    EXPECT_EQ(run.status, 2);
    if (!KeepsEveryVersion(file))
        GTEST_SKIP() << "the file's layout keeps no identities (needs TessalineSealed2)";

    std::smatch m;
    ASSERT_TRUE(std::regex_search(run.err, m,
                                  std::regex("\n  ([0-9a-f]{32})  Login Accounts  mail  work\n")))
        << run.err;
    const std::string work = m[1];
    run = Cli({"rm", file, "--id", work.substr(0, 8)}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    // The card in the recycle bin still has its name: --id tells the two apart.
    EXPECT_EQ(Cli({"show", file, "mail"}, kFilePassword).status, 2);
    run = Cli({"show", file, "--id", work.substr(0, 8)}, kFilePassword);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Field(run.out, "User ID"), "work");
    EXPECT_NE(Field(run.out, "In the recycle bin since"), "<none>");
    run = Cli({"ls", file}, kFilePassword);
    EXPECT_NE(run.out.find("mail	WWW Sites	home"), std::string::npos);
    EXPECT_EQ(run.out.find("work"), std::string::npos);
}

}  // namespace
}  // namespace tessaline
