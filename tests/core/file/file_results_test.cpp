// The reader and the writer talk to nobody: the password and the one Yes/No question go
// through the callbacks of the request, slow work through its busy runner, and every
// message comes back in the result, in order, for the caller to show.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/base/message_texts.h"
#include "core/cards/card_date.h"
#include "core/file/data_file.h"
#include "support/card_fixtures.h"
#include "support/data_file_reading.h"
#include "support/data_files.h"

namespace tessaline {
namespace {

using testing::AddCard;
using testing::Describe;
using testing::WrittenBytes;
using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

using testing::kQuickSeal;

Texts TextsOf(const std::vector<MessageRequest>& messages) {
    Texts texts;
    for (const MessageRequest& m : messages)
        texts.push_back(m.text);
    return texts;
}

void ExpectPlainNotices(const std::vector<MessageRequest>& messages) {
    for (const MessageRequest& m : messages) {
        SCOPED_TRACE(m.text);
        EXPECT_EQ(m.caption, MsgCaption::System);
        EXPECT_EQ(m.icon, MsgIcon::None);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
    }
}

void SampleCards(CCardCollection& cards) {
    AddCard(cards, {.code = 0, .name = "web", .password = "pw", .time = 3'000'000'000u});
    AddCard(cards, {.code = 7, .name = "bank", .note = "n"});
}

FileCipherState Encrypted(const std::string& password, bool sealed) {
    FileCipherState state;
    state.encryptOnSave = true;
    state.encryptionPassword = password;
    state.sealed = sealed;
    state.seal = kQuickSeal;
    return state;
}

// A password question that gives the answers in turn and notes what it was asked.
struct PasswordScript {
    std::vector<std::optional<std::string>> answers;
    std::vector<std::pair<std::string, std::string>> asked;  // title, prefill

    PasswordQuestion Question() {
        return [this](const std::string& title, const std::string& prefill) {
            asked.emplace_back(title, prefill);
            if (asked.size() > answers.size())
                return std::optional<std::string>();
            return answers[asked.size() - 1];
        };
    }
};

TEST(FileResults, ReadingReturnsItsMessagesInOrder) {
    CCardCollection sample;
    SampleCards(sample);
    const Bytes compatible = WrittenBytes(sample, Encrypted("hunter22", false));
    const Bytes sealed = WrittenBytes(sample, Encrypted("hunter22", true));
    Bytes notOurs(40, 'x');
    struct Case {
        const char* what;
        Bytes file;
        std::vector<std::optional<std::string>> passwords;
        bool ok;
        bool wrongPassword;
        Texts messages;
    };
    const Case cases[] = {
        {"empty file", {}, {}, true, false, {msg::kEmptyFile}},
        {"not ours", notOurs, {}, false, false, {msg::kNotTessalineFile}},
        {"right password", compatible, {"hunter22"}, true, false, {}},
        {"cancelled", compatible, {std::nullopt}, false, false, {}},
        {"wrong password", compatible, {"nope"}, false, true, {msg::kPasswordNotCorrect}},
        {"empty entry",
         compatible,
         {""},
         false,
         true,
         {msg::kMustEnterPassword, msg::kPasswordNotCorrect}},
        {"sealed, empty entry",
         sealed,
         {""},
         false,
         true,
         {msg::kMustEnterPassword, msg::kPasswordNotCorrect}},
        {"sealed, zero byte",
         sealed,
         {std::string("a\0b", 3)},
         false,
         true,
         {msg::kPasswordHasZeroByte, msg::kPasswordNotCorrect}},
        // The sealed file is whole (its hash says so): only the password can be wrong.
        {"sealed, wrong password", sealed, {"nope"}, false, true, {msg::kPasswordNotCorrect}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PasswordScript script{c.passwords, {}};
        ReadRequest request;
        request.askPassword = script.Question();
        request.fileTitle = "cards.tse";
        const ReadResult read = ReadDataFile(c.file, request);
        EXPECT_EQ(read.ok, c.ok);
        // A file not opened gives no cards at all.
        ASSERT_NE(read.cards, nullptr);
        if (!read.ok) {
            EXPECT_EQ(read.cards->LiveCardCount(), 0);
        }
        EXPECT_EQ(read.wrongPassword, c.wrongPassword);
        EXPECT_EQ(TextsOf(read.messages), c.messages);
        ExpectPlainNotices(read.messages);
        // Asked once when encrypted, never again: a retry is the caller's decision.
        EXPECT_EQ(script.asked.size(), c.passwords.size());
    }
}

TEST(FileResults, PasswordQuestionCarriesTitleAndPrefillAndNoQuestionMeansCancel) {
    CCardCollection sample;
    SampleCards(sample);
    const Bytes compatible = WrittenBytes(sample, Encrypted("hunter22", false));

    PasswordScript script{{"hunter22"}, {}};
    ReadRequest request;
    request.askPassword = script.Question();
    request.fileTitle = "cards.tse";
    request.passwordPrefill = "hun";
    const ReadResult read = ReadDataFile(compatible, request);
    ASSERT_TRUE(read.ok);
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0].first, "Password for cards.tse");
    EXPECT_EQ(script.asked[0].second, "hun");
    EXPECT_EQ(Describe(*read.cards), Describe(sample));
    EXPECT_EQ(read.state.encryptionPassword, "hunter22");

    // Nobody to ask: an encrypted file is not opened, and nothing is said.
    const ReadResult unasked = ReadDataFile(compatible, ReadRequest{});
    EXPECT_FALSE(unasked.ok);
    EXPECT_FALSE(unasked.wrongPassword);
    EXPECT_TRUE(unasked.messages.empty());
}

TEST(FileResults, DateTextsFollowTheIndexGiven) {
    CCardCollection sample;
    SampleCards(sample);
    const Bytes plain = WrittenBytes(sample, FileCipherState{});
    for (int index : {0, 4, 11}) {
        SCOPED_TRACE(index);
        ReadRequest request;
        request.dateFormat = index;
        const ReadResult read = ReadDataFile(plain, request);
        ASSERT_TRUE(read.ok);
        ASSERT_EQ(read.cards->List(0).Count(), 1);
        EXPECT_EQ(read.cards->List(0).CardAt(0)->DateText(), FormatCardDate(3'000'000'000u, index));
    }
    EXPECT_NE(FormatCardDate(3'000'000'000u, 0), FormatCardDate(3'000'000'000u, 4));
}

TEST(FileResults, SealedWorkGoesThroughTheBusyRunner) {
    CCardCollection sample;
    SampleCards(sample);
    Texts busy;
    bool workRan = false;
    const BusyRunner runner = [&](const std::string& what, const std::function<void()>& work) {
        busy.push_back(what);
        work();
        workRan = true;
    };

    FileCipherState sealing = Encrypted("hunter22", true);
    WriteRequest write;
    write.whileBusy = runner;
    const WriteResult written = BuildDataFile(sample, sealing, write);
    ASSERT_TRUE(written.bytes.has_value());
    EXPECT_EQ(busy, Texts{msg::kSealing});

    busy.clear();
    PasswordScript script{{"hunter22"}, {}};
    ReadRequest read;
    read.askPassword = script.Question();
    read.whileBusy = runner;
    const ReadResult opened = ReadDataFile(*written.bytes, read);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(busy, Texts{msg::kOpeningSealed});
    EXPECT_TRUE(workRan);
    EXPECT_EQ(Describe(*opened.cards), Describe(sample));
}

TEST(FileResults, WritingReturnsTheBytesOrWhyNot) {
    CCardCollection tooLong;
    AddCard(tooLong, {.code = 7, .name = "big", .note = std::string(kMaxTextLength + 1, 'n')});
    FileCipherState plain;
    const WriteResult refused = BuildDataFile(tooLong, plain);
    EXPECT_FALSE(refused.bytes.has_value());
    EXPECT_EQ(TextsOf(refused.messages),
              (Texts{TextTooLongMessage("big"), "Error Writing BankAccounts"}));
    ExpectPlainNotices(refused.messages);

    CCardCollection sample;
    SampleCards(sample);
    FileCipherState noPassword = Encrypted("", false);
    const WriteResult unset = BuildDataFile(sample, noPassword);
    EXPECT_FALSE(unset.bytes.has_value());
    EXPECT_EQ(TextsOf(unset.messages), Texts{msg::kPasswordNotSet});
}

TEST(FileResults, TheSealingQuestionDecidesWhatIsWritten) {
    CCardCollection big;
    for (int i = 0; i < 3; ++i)
        AddCard(big, {.code = i, .note = std::string(30000, static_cast<char>('a' + i))});
    struct Case {
        const char* what;
        std::optional<bool> answer;  // nullopt: no question can be asked
        bool written;
    };
    const Case cases[] = {
        {"yes", true, true}, {"no", false, false}, {"nobody", std::nullopt, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileCipherState state = Encrypted("hunter22", false);
        std::vector<MessageRequest> asked;
        WriteRequest request;
        if (c.answer) {
            request.confirm = [&](const MessageRequest& question) {
                asked.push_back(question);
                return *c.answer;
            };
        }
        const WriteResult result = BuildDataFile(big, state, request);
        EXPECT_EQ(result.bytes.has_value(), c.written);
        EXPECT_TRUE(result.messages.empty());
        EXPECT_EQ(state.sealed, c.written);
        if (c.written) {
            EXPECT_EQ(InspectHeader(*result.bytes).format, FileFormat::Sealed);
        }
        ASSERT_EQ(asked.size(), c.answer ? 1u : 0u);
        if (!asked.empty()) {
            EXPECT_EQ(asked[0].text, TooLargeOfferSealingMessage(big.TotalStoredSize()));
            EXPECT_EQ(asked[0].caption, MsgCaption::Application);
            EXPECT_EQ(asked[0].icon, MsgIcon::Warning);
            EXPECT_EQ(asked[0].buttons, MsgButtons::YesNo);
        }
    }
}

}  // namespace
}  // namespace tessaline
