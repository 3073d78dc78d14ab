#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <unistd.h>

#include <filesystem>
#include <thread>

#include "core/cards/card_collection.h"
#include "core/cards/iso_date_time.h"
#include "core/views/csv_import.h"
#include "core/views/csv_import_command.h"
#include "support/case_names.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

constexpr std::uint32_t kNow = 3'900'000'000u;

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(TESSALINE_TEST_DATA) + "/csv/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A card as comparable text: category, name, address, user ID, password, note, and the
// one-time-password field when there is one.
std::string Describe(const CCard& c) {
    return std::to_string(c.Category()) + "|" + c.Name() + "|" + c.Address() + "|" + c.UserId() +
           "|" + c.Password() + "|" + c.Note() + (c.OtpUri().empty() ? "" : "|otp " + c.OtpUri());
}

std::vector<std::string> Describe(const CsvImport& imported) {
    std::vector<std::string> out;
    for (const CCard& c : imported.cards)
        out.push_back(Describe(c));
    return out;
}

CsvImport Import(std::string_view text, CsvSource source = CsvSource::Auto) {
    return ImportCsv(text, source, kNow);
}

// --- One export of each program, written from the columns each documents ------------

TEST(CsvImport, KeePassXcGroupsNameCategoriesAndTagsAndItsDatesAreKept) {
    const CsvImport got = Import(Fixture("keepassxc.csv"));
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(got.source, CsvSource::KeePassXc);
    EXPECT_EQ(Describe(got),
              (std::vector<std::string>{
                  "0|Mail|https://mail.example.org|ann@example.org|p@ss,word|two\r\nlines",
                  "8|Visa||Ann Example|4111 1111 1111 1111|PIN \"1234\"",
                  "14|router||admin|r0uter!||otp otpauth://totp/router?secret=JBSWY3DPEHPK3PXP",
                  "14|Wi-Fi|||hunter2|"}));
    EXPECT_EQ(got.cards[2].Tags(), std::vector<std::string>{"Servers"});
    // The dates the export holds (2024-01-01 and 2024-01-02, 10:00 UTC), marked changed
    // for the handheld.
    constexpr std::int64_t kCreated = 1704103200000;
    constexpr std::int64_t kModified = 1704189600000;
    for (const CCard& c : got.cards) {
        EXPECT_EQ(c.CreatedMs(), kCreated);
        EXPECT_EQ(c.ModifiedMs(), kModified);
        EXPECT_EQ(c.ModificationTime(), CardTimeOfUnixMs(kModified));
        EXPECT_TRUE(c.Changed());
        EXPECT_FALSE(c.Deleted());
        EXPECT_EQ(c.Attributes(), 0);
    }
}

// The first part of a KeePassXC group path is its root group, whatever it is called;
// below it a part named after a category gives the category and the other parts become
// tags. Without one, the address's scheme decides.
TEST(CsvImport, KeePassXcGroupPathsAndAddressesChooseCategoryAndTags) {
    struct Case {
        const char* group;
        const char* url;
        int code;
        std::vector<std::string> tags;
    };
    const Case cases[] = {
        {"Root/Credit Cards/Old", "", kCreditCards, {"Old"}},
        {"Passwords/atm/pin cards", "", kAtmPinCards, {}},  // a name with a slash, case ignored
        {"Root / Software Keys", "https://c.example", kSoftwareKeys, {}},
        {"Root/Banking", "https://d.example", kWwwSites, {"Banking"}},
        {"WWW Forms/Root", "", kMiscellaneous, {"Root"}},  // the root's name says nothing
        {"Credit Cards", "", kMiscellaneous, {}},
        {"Passwords/Work/Email Accounts/Old", "", kEmailAccounts, {"Work", "Old"}},
        {"Passwords/Work/Home", "", kMiscellaneous, {"Work", "Home"}},
        {"Passwords", "ftp://files.example", kFtpServers, {}},
        {"Passwords", "SFTP://files.example:22/home", kFtpServers, {}},
        {"Passwords", "ftps://files.example", kFtpServers, {}},
        {"Passwords", "mailto:ann@example.org", kEmailAccounts, {}},
        {"Passwords", "imap://mail.example.org", kEmailAccounts, {}},
        {"Passwords", "smtp://mail.example.org:587", kEmailAccounts, {}},
        {"Passwords", "https://ftp.example.org", kWwwSites, {}},
        {"Passwords/Credit Cards", "ftp://files.example", kCreditCards, {}},  // the group first
    };
    std::string text = "Group,Title,Username,Password,URL,Notes\n";
    for (const Case& c : cases)
        text += std::string("\"") + c.group + "\",t,,," + c.url + ",\n";
    const CsvImport got = Import(text);
    ASSERT_FALSE(got.error) << got.error->what;
    ASSERT_EQ(got.cards.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].group + std::string(" ") + cases[i].url);
        EXPECT_EQ(got.cards[i].Category(), cases[i].code);
        EXPECT_EQ(got.cards[i].Tags(), cases[i].tags);
        // No "Group:" line: the path lives on as category and tags.
        EXPECT_EQ(got.cards[i].Note(), "");
    }
}

TEST(CsvImport, KeePassXcDatesAsWrittenWithOffsetsAndFractions) {
    struct Case {
        const char* created;
        const char* modified;
        std::optional<std::int64_t> createdMs, modifiedMs;
        const char* note;
    };
    const Case cases[] = {
        {"2024-01-01T10:00:00Z", "2024-01-02T10:00:00Z", 1704103200000, 1704189600000, ""},
        {"2024-01-01T12:00:00+02:00", "2024-01-01 10:00:00.250", 1704103200000, 1704103200250,
         ""},
        {"2024-02-29T00:00:00-01:30", "", 1709170200000, 1709170200000, ""},  // changed = made
        {"", "", std::nullopt, std::nullopt, ""},
        {"yesterday", "2023-02-29T10:00:00Z", std::nullopt, std::nullopt,
         "Created: yesterday\r\nLast Modified: 2023-02-29T10:00:00Z"},  // kept, not lost
    };
    std::string text = "Group,Title,Username,Password,URL,Notes,TOTP,Icon,Last Modified,Created\n";
    for (const Case& c : cases)
        text += std::string("Root,t,,,,,,0,") + c.modified + "," + c.created + "\n";
    const CsvImport got = Import(text);
    ASSERT_FALSE(got.error) << got.error->what;
    ASSERT_EQ(got.cards.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const CCard& card = got.cards[i];
        EXPECT_EQ(card.CreatedMs(), cases[i].createdMs.value_or(0));
        EXPECT_EQ(card.ModifiedMs(), cases[i].modifiedMs.value_or(0));
        EXPECT_EQ(card.ModificationTime(),
                  cases[i].modifiedMs ? CardTimeOfUnixMs(*cases[i].modifiedMs) : kNow);
        EXPECT_EQ(card.Note(), cases[i].note);
    }
}

// Bitwarden's folders still name categories and stay in the note.
TEST(CsvImport, GroupsNameCategoriesAtAnyDepth) {
    const CsvImport got = Import(
        "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,"
        "login_password,login_totp\n"
        "Credit Cards/Old,,login,a,,,,,,,\n"
        "Banking,,login,d,,,,https://d.example,,,\n");
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(Describe(got), (std::vector<std::string>{
                                 "8|a||||Folder: Credit Cards/Old",
                                 "0|d|https://d.example|||Folder: Banking",
                             }));
}

TEST(CsvImport, ChromiumTextsAreStoredAsTypedTextIs) {
    const CsvImport got = Import(Fixture("chromium.csv"));
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(got.source, CsvSource::Chromium);
    EXPECT_EQ(
        Describe(got),
        (std::vector<std::string>{
            "0|example.com|https://example.com/login|bob|s3cret|",
            // "ü" fits Windows-1252 and is stored as that one byte; spaces around an
            // unquoted password are part of it.
            "0|Z\xFCrich Bank|https://bank.example/|bob| lead and trail |"
            "note with \"quotes\", commas",
            // No name: the address's host. Chinese does not fit Windows-1252: UTF-8.
            "0|noname.example|https://noname.example/path?q=1|carol|\xE5\xAF\x86\xE7\xA0\x81|"}));
}

TEST(CsvImport, FirefoxNamesCardsByHostAndKeepsTheRealm) {
    const CsvImport got = Import(Fixture("firefox.csv"));
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(got.source, CsvSource::Firefox);
    EXPECT_EQ(Describe(got), (std::vector<std::string>{
                                 "0|www.example.com|https://www.example.com|dave|pw1|",
                                 "0|intranet.example:8443|https://intranet.example:8443|erin|pw2|"
                                 "HTTP realm: Staff only"}));
}

TEST(CsvImport, BitwardenFoldersNotesFieldsAndSeveralAddresses) {
    const CsvImport got = Import(Fixture("bitwarden.csv"));
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(got.source, CsvSource::Bitwarden);
    EXPECT_EQ(Describe(got),
              (std::vector<std::string>{
                  "6|Work mail|https://mail.work.example|frank|fpw||otp JBSWY3DPEHPK3PXP",
                  "14|Alarm code||||Code is 4321\r\nBack door",
                  "0|Forum|https://forum.example|gina|gpw|Folder: Social\r\npet: Rex\r\n"
                  "colour: blue\r\nURIs: https://forum.example,https://m.forum.example"}));
}

TEST(CsvImport, CountsPerCategory) {
    const CsvImport got = Import(Fixture("keepassxc.csv"));
    ASSERT_FALSE(got.error);
    const CategoryCounts counts = CountPerCategory(got.cards);
    EXPECT_EQ(CategoryCountLines(counts),
              (std::vector<std::string>{"WWW Sites: 1", "Credit Cards: 1", "Miscellaneous: 2"}));
    EXPECT_EQ(CardCountText(1), "1 card");
    EXPECT_EQ(CardCountText(4), "4 cards");

    CCardCollection collection;
    std::vector<CCard> cards = got.cards;
    AddImportedCards(cards, collection);
    EXPECT_TRUE(cards.empty());
    EXPECT_EQ(collection.List(kWwwSites).Count(), 1);
    EXPECT_EQ(collection.List(kCreditCards).Count(), 1);
    EXPECT_EQ(collection.List(kMiscellaneous).Count(), 2);
}

// --- The odd corners of CSV ----------------------------------------------------------

struct OddCase {
    const char* what;
    std::string text;  // after the Chromium header line
    std::vector<std::string> cards;
};

class CsvOddCases : public ::testing::TestWithParam<OddCase> {};

TEST_P(CsvOddCases, ReadAsTheWriterMeantIt) {
    const OddCase& c = GetParam();
    const CsvImport got = Import("name,url,username,password,note\n" + c.text);
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(Describe(got), c.cards);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CsvOddCases,
    ::testing::Values(
        OddCase{"comma inside quotes", "n,,u,\"a,b\",\n", {"14|n||u|a,b|"}},
        OddCase{"doubled quote", "n,,u,\"say \"\"hi\"\"\",\n", {"14|n||u|say \"hi\"|"}},
        OddCase{"line feed inside quotes", "n,,,,\"l1\nl2\"\n", {"14|n||||l1\r\nl2"}},
        OddCase{"CR LF inside quotes", "n,,,,\"l1\r\nl2\"\r\n", {"14|n||||l1\r\nl2"}},
        OddCase{"line break inside a password kept", "n,,,\"a\nb\",\n", {"14|n|||a\nb|"}},
        OddCase{"CR LF line ends", "a,,,1,\r\nb,,,2,\r\n", {"14|a|||1|", "14|b|||2|"}},
        OddCase{"CR line ends", "a,,,1,\rb,,,2,\r", {"14|a|||1|", "14|b|||2|"}},
        OddCase{"no line break at the end", "a,,,1,", {"14|a|||1|"}},
        OddCase{"empty fields", "a,,,,\n", {"14|a||||"}},
        OddCase{"empty quoted fields", "\"a\",\"\",\"\",\"\",\"\"\n", {"14|a||||"}},
        OddCase{
            "empty lines and lines of nothing skipped", "\n\n,,,,\na,,,1,\n   \n\n", {"14|a|||1|"}},
        OddCase{"spaces kept", "  n  ,,, p ,\n", {"14|  n  ||| p |"}},
        OddCase{"Windows-1252 letters", "caf\xC3\xA9,,,\xE2\x82\xAC,\n", {"14|caf\xE9|||\x80|"}}),
    tessaline::testing::CaseName<OddCase>);

TEST(CsvImport, ByteOrderMarkAndHeaderSpellingDoNotMatter) {
    const CsvImport got = Import("\xEF\xBB\xBF Name ,URL,UserName,PASSWORD,Note\r\nn,,u,p,\r\n");
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(got.source, CsvSource::Chromium);
    EXPECT_EQ(Describe(got), (std::vector<std::string>{"14|n||u|p|"}));
}

TEST(CsvImport, UnknownColumnsAreKeptInTheNote) {
    // A layout of another program whose columns include ours.
    const CsvImport got = Import(
        "url,username,password,totp,extra,name,grouping,fav\n"
        "https://a.example,u,p,,some words,A,Shopping,0\n");
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(Describe(got),
              (std::vector<std::string>{"0|A|https://a.example|u|p|"
                                        "extra: some words\r\ngrouping: Shopping\r\nfav: 0"}));
}

TEST(CsvImport, AHeaderOnlyOrEmptyFileImportsNothingWithoutComplaint) {
    for (const char* text : {"", "\n\n", "name,url,username,password,note\n"}) {
        const CsvImport got = Import(text);
        EXPECT_FALSE(got.error) << text;
        EXPECT_TRUE(got.cards.empty()) << text;
    }
}

// --- Nothing is imported from a file with a bad line -------------------------------

struct BadCase {
    const char* what;
    std::string text;
    CsvSource source;
    int line;
    std::string message;  // a part of the reason
};

class CsvBadLines : public ::testing::TestWithParam<BadCase> {};

TEST_P(CsvBadLines, ReportedByLineWithNothingImported) {
    const BadCase& c = GetParam();
    const CsvImport got = Import(c.text, c.source);
    ASSERT_TRUE(got.error);
    EXPECT_EQ(got.error->line, c.line);
    EXPECT_NE(got.error->what.find(c.message), std::string::npos) << got.error->what;
    EXPECT_TRUE(got.cards.empty());
}

const std::string kHeader = "name,url,username,password,note\n";

INSTANTIATE_TEST_SUITE_P(
    Table, CsvBadLines,
    ::testing::Values(
        BadCase{"quote inside an unquoted field", kHeader + "a,,,1,\nb,,u,p\"w,\n", CsvSource::Auto,
                3, "double quote is out of place"},
        BadCase{"text after a closing quote", kHeader + "a,,,\"1\"x,\n", CsvSource::Auto, 2,
                "double quote is out of place"},
        BadCase{"quote never closed", kHeader + "a,,,1,\nb,,,2,\"open\nmore\nlines\n",
                CsvSource::Auto, 3, "no closing double quote"},
        // The record on lines 2 and 3 counts as two lines.
        BadCase{"too few fields after a two-line field", kHeader + "a,,,1,\"x\ny\"\nb,,,2\n",
                CsvSource::Auto, 4, "it has 4 fields, but the first line names 5 columns"},
        BadCase{"too many fields", kHeader + "a,,,1,,extra\n", CsvSource::Auto, 2,
                "it has 6 fields"},
        BadCase{"not UTF-8", kHeader + "caf\xE9,,,1,\n", CsvSource::Auto, 2,
                "the column \"Name\" is not UTF-8 text"},
        BadCase{"zero byte", kHeader + std::string("a,,,p\0w,\n", 9), CsvSource::Auto, 2,
                "the column \"Password\" holds a zero byte"},
        BadCase{"too long for a card", kHeader + "a,,,1," + std::string(40000, 'x') + "\n",
                CsvSource::Auto, 2, "the note is 40000 bytes long"},
        BadCase{"unknown header", "\n\nTitle,Login,Secret\na,b,c\n", CsvSource::Auto, 3,
                "does not name the columns of a KeePassXC, Chromium, Firefox or Bitwarden export"},
        BadCase{"another program's header", kHeader + "a,,,1,\n", CsvSource::Firefox, 1,
                "names the columns of a Chromium export, not of a Firefox export"},
        BadCase{"too few columns without a header", "a,b\n", CsvSource::Chromium, 1,
                "it has 2 fields; a Chromium export has 4 to 5"}),
    tessaline::testing::CaseName<BadCase>);

TEST(CsvImport, ANamedProgramReadsLinesWithoutHeaderInItsOrder) {
    const CsvImport got =
        Import("site,https://s.example,u,p\nother,,v,q,a note\n", CsvSource::Chromium);
    ASSERT_FALSE(got.error) << got.error->what;
    EXPECT_EQ(Describe(got),
              (std::vector<std::string>{"0|site|https://s.example|u|p|", "14|other||v|q|a note"}));
    // With its own header, the header is not a card.
    const CsvImport withHeader = Import(Fixture("firefox.csv"), CsvSource::Firefox);
    ASSERT_FALSE(withHeader.error);
    EXPECT_EQ(withHeader.cards.size(), 2u);
}

TEST(CsvImport, OnlyARegularFileOfAnExportsSizeIsRead) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("tessaline-csv-file-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path huge = dir / "huge.csv";
    { std::ofstream(huge, std::ios::binary) << "name,url,username,password,note\n"; }
    fs::resize_file(huge, kMaxCsvFileSize + 1);  // sparse: nothing is written

    struct Case {
        fs::path path;
        std::string what;
    };
    for (const Case& c : {Case{dir / "missing.csv", "No such file or directory"},
                          Case{dir, "not a file that can be imported"},
                          Case{huge, "too large to be the export of a password manager"}}) {
        const CsvImport got = ReadCsvFile(c.path.string(), CsvSource::Auto, kNow);
        ASSERT_TRUE(got.error) << c.path;
        EXPECT_EQ(got.error->line, 0);
        EXPECT_NE(got.error->what.find(c.what), std::string::npos) << got.error->what;
    }
    const CsvImport fixture =
        ReadCsvFile(std::string(TESSALINE_TEST_DATA) + "/csv/bitwarden.csv", CsvSource::Auto, kNow);
    EXPECT_FALSE(fixture.error);
    EXPECT_EQ(fixture.cards.size(), 3u);
    fs::remove_all(dir);
}

// Reading a large file takes a while: File > Import reads it as busy work, which the
// window runs on a thread of its own while it keeps painting. The chooser comes first,
// and the messages about the result after the work has ended.
TEST(CsvImport, TheFileIsReadAsBusyWork) {
    class BusyAnswers : public testing::ScriptedAnswers {
    public:
        std::vector<std::string> busy;
        std::size_t messagesBeforeWork = 0;
        void RunWhileBusy(const std::string& what, const std::function<void()>& work) override {
            busy.push_back(what);
            messagesBeforeWork = shown.size();
            EXPECT_EQ(fileRequests.size(), 1u);
            std::thread(work).join();
        }
    };
    struct Case {
        const char* file;
        std::size_t cards;
        bool told;
    };
    for (const Case& c : {Case{"bitwarden.csv", 3, false}, Case{"no-such-file.csv", 0, true}}) {
        BusyAnswers ui;
        ui.Choose(std::string(TESSALINE_TEST_DATA) + "/csv/" + c.file);
        const std::optional<CsvCardsChosen> chosen = AskForCsvCards(ui, kNow);
        EXPECT_EQ(ui.busy, std::vector<std::string>{std::string("Reading ") + c.file + "..."});
        EXPECT_EQ(ui.messagesBeforeWork, 0u);
        EXPECT_EQ(chosen ? chosen->cards.size() : 0u, c.cards) << c.file;
        EXPECT_EQ(ui.shown.size(), c.told ? 1u : 0u) << c.file;
    }
}

TEST(CsvImport, SourceNames) {
    EXPECT_EQ(CsvSourceFromName("auto"), CsvSource::Auto);
    EXPECT_EQ(CsvSourceFromName("keepassxc"), CsvSource::KeePassXc);
    EXPECT_EQ(CsvSourceFromName("KeePassXC"), CsvSource::KeePassXc);
    EXPECT_EQ(CsvSourceFromName("chromium"), CsvSource::Chromium);
    EXPECT_EQ(CsvSourceFromName("firefox"), CsvSource::Firefox);
    EXPECT_EQ(CsvSourceFromName("bitwarden"), CsvSource::Bitwarden);
    EXPECT_EQ(CsvSourceFromName("lastpass"), std::nullopt);
    EXPECT_EQ(CsvSourceTitle(CsvSource::Bitwarden), "Bitwarden");
}

}  // namespace
}  // namespace tessaline
