// What Tessaline answers to the browsers' requests and pokes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/browser/dde_arguments.h"
#include "core/browser/dde_server_answers.h"

namespace tessaline {
namespace {

using Bytes = std::vector<std::uint8_t>;

class FixedEnvironment : public IDdeServerEnvironment {
public:
    std::uint32_t now = 0x5F000001;
    std::optional<std::string> tempName = "/tmp/nstest123";
    std::vector<std::string> prefixes;
    std::uint32_t NowSeconds() override { return now; }
    std::optional<std::string> MakeTempFileName(const std::string& prefix) override {
        prefixes.push_back(prefix);
        return tempName;
    }
};

Bytes Dword(std::uint32_t v) {
    return EncodeReply("DW", {v});
}

TEST(DdeServerAnswers, EveryAnsweredRequest) {
    FixedEnvironment env;
    struct Case {
        int topic;
        const char* item;
        Bytes expected;
    };
    const Case cases[] = {
        {kTopicAlert, "\"Page not found\",1,0", Bytes{0, 0, 0, 0}},
        {kTopicBeginProgress, "4294967295,\"Loading\"", Dword(env.now)},
        {kTopicMakingProgress, "1,\"Loading\",50", Bytes{0, 0}},
        {kTopicOpenURL, "\"http://a.example/\",,0,0,,,Tessaline1", Dword(env.now)},
        {kTopicQueryViewer, "\"http://a.example/x.pdf\",\"application/pdf\"",
         Bytes{'"', '/', 't', 'm', 'p', '/', 'n', 's', 't', 'e', 's', 't', '1', '2', '3', '"', 0}},
    };
    for (const Case& c : cases) {
        auto answer = AnswerDdeRequest(c.topic, std::string(c.item), env);
        ASSERT_TRUE(answer.has_value()) << kDdeTopicTable[c.topic];
        EXPECT_EQ(*answer, c.expected) << kDdeTopicTable[c.topic];
    }
    EXPECT_EQ(env.prefixes, std::vector<std::string>{"nstest"});
}

TEST(DdeServerAnswers, RequestsWithoutItemOrOnOtherTopicsGetNothingOrDefaults) {
    FixedEnvironment env;
    // A missing item reads as missing arguments; the answer does not depend on them.
    EXPECT_EQ(AnswerDdeRequest(kTopicAlert, std::nullopt, env), (Bytes{0, 0, 0, 0}));
    for (int topic : std::vector<int>{0, 3, 5, kTopicGetWindowInfo, 7, 10, 11, 13, 24,
                                      kTopicEndProgress, kTopicWindowChange, -1, 27})
        EXPECT_EQ(AnswerDdeRequest(topic, std::string("1"), env), std::nullopt) << topic;
}

TEST(DdeServerAnswers, ViewerFileFallsBackWhenNoTemporaryFileCanBeMade) {
    FixedEnvironment env;
    env.tempName.reset();
    auto answer = AnswerDdeRequest(kTopicQueryViewer, std::nullopt, env);
    ASSERT_TRUE(answer);
    EXPECT_EQ(std::string(answer->begin(), answer->end() - 1), "\"/delme.nst\"");
}

TEST(DdeServerAnswers, SystemTemporaryFileIsFreshAndPrivate) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("tessaline-dde-answers-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", dir.c_str(), 1);
    SystemDdeServerEnvironment env;
    auto first = env.MakeTempFileName("nstest");
    auto second = env.MakeTempFileName("nstest");
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_EQ(std::filesystem::path(*first).parent_path(), dir);
    EXPECT_EQ(std::filesystem::path(*first).filename().string().rfind("nstest", 0), 0u);
    struct stat st {};
    ASSERT_EQ(stat(first->c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::filesystem::remove_all(dir);
}

// The viewer's files may hold what the browser downloaded for it: they go when the
// environment (the program's lives until the program ends) goes, and nothing else does.
TEST(DdeServerAnswers, ViewerFilesAreRemovedWhenTheProgramEnds) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("tessaline-dde-viewer-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path unrelated = dir / "nstest-not-ours";
    std::ofstream(unrelated) << "keep";
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", dir.c_str(), 1);
    std::vector<std::string> made;
    {
        SystemDdeServerEnvironment env;
        for (int i = 0; i < 3; ++i) {
            const auto answer = AnswerDdeRequest(kTopicQueryViewer, std::nullopt, env);
            ASSERT_TRUE(answer);
            // "\"<name>\"" and a terminating zero
            made.emplace_back(answer->begin() + 1, answer->end() - 2);
            std::ofstream(made.back()) << "downloaded for the viewer";
        }
        for (const std::string& file : made)
            EXPECT_TRUE(std::filesystem::exists(file)) << file;
    }
    if (old)
        setenv("TMPDIR", saved.c_str(), 1);
    else
        unsetenv("TMPDIR");
    for (const std::string& file : made)
        EXPECT_FALSE(std::filesystem::exists(file)) << file;
    EXPECT_TRUE(std::filesystem::exists(unrelated));
    std::filesystem::remove_all(dir);
}

TEST(DdeServerAnswers, PokesAcknowledgedOnlyOnTheirTopics) {
    const std::pair<int, const char*> acknowledged[] = {
        {kTopicEndProgress, "7"},
        {kTopicSetProgressRange, "7,100"},
        {kTopicURLEcho, "\"http://a.example/\",\"text/html\",1,\"Netscape\""},
        {kTopicViewDocFile, "\"/tmp/f\",\"http://a.example/\",\"text/html\",1"},
        {kTopicWindowChange, "1,2,3,4,5,6"},
    };
    for (const auto& [topic, item] : acknowledged) {
        EXPECT_TRUE(AcceptDdePoke(topic, std::string(item))) << kDdeTopicTable[topic];
        EXPECT_TRUE(AcceptDdePoke(topic, std::nullopt)) << kDdeTopicTable[topic];
    }
    for (int topic :
         std::vector<int>{kTopicAlert, kTopicOpenURL, kTopicGetWindowInfo, kTopicQueryViewer, -1})
        EXPECT_FALSE(AcceptDdePoke(topic, std::string("1"))) << topic;
}

}  // namespace
}  // namespace tessaline
