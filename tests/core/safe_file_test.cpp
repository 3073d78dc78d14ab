// Whole-file writes: a failure at any point leaves the old file as it was.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "file/safe_file.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaline-safe-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Slurp(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    fs::path dir_;
};

TEST_F(SafeFileTest, NewFilesAreForTheOwnerOnlyAndExistingOnesKeepTheirMode) {
    const fs::path p = dir_ / "new.tse";
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("first")));
    EXPECT_EQ(Slurp(p), "first");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("second")));
    EXPECT_EQ(Slurp(p), "second");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

TEST_F(SafeFileTest, AWriteThatFailsHalfWayLeavesTheOldFileIntact) {
    const fs::path p = dir_ / "cards.tsf";
    const std::string old(100, 'o');
    ASSERT_FALSE(WriteFileSafely(p.string(), old));

    // Let the process write at most 4 KiB per file: the 64 KiB write fails part-way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = WriteFileSafely(p.string(), std::string(65536, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, EFBIG);
    EXPECT_NE(error->what.find("cards.tsf"), std::string::npos);
    EXPECT_EQ(Slurp(p), old);
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(SafeFileTest, UnwritablePlacesAreReportedWithTheFileName) {
    const fs::path missingFolder = dir_ / "no" / "such" / "folder" / "x.tse";
    auto error = WriteFileSafely(missingFolder.string(), std::string("x"));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, ENOENT);

    fs::create_directory(dir_ / "adir");
    error = WriteFileSafely((dir_ / "adir").string(), std::string("x"));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, EISDIR);
    EXPECT_TRUE(fs::is_directory(dir_ / "adir"));
}

TEST_F(SafeFileTest, WritingThroughALinkReplacesTheLinkedFile) {
    const fs::path target = dir_ / "real.tse";
    const fs::path link = dir_ / "link.tse";
    ASSERT_FALSE(WriteFileSafely(target.string(), std::string("old")));
    fs::create_symlink(target, link);
    ASSERT_FALSE(WriteFileSafely(link.string(), std::string("new")));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(target), "new");
}

TEST_F(SafeFileTest, ReadWholeFile) {
    const fs::path p = dir_ / "r.bin";
    std::string data(200000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7);
    ASSERT_FALSE(WriteFileSafely(p.string(), data));
    FileError error;
    auto read = ReadWholeFile(p.string(), error);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::string(read->begin(), read->end()), data);
    EXPECT_FALSE(ReadWholeFile((dir_ / "missing").string(), error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_FALSE(ReadWholeFile(dir_.string(), error));
    EXPECT_EQ(error.code, EISDIR);
    EXPECT_EQ(FileTitleOf("/home/u/My passwords.tse"), "My passwords.tse");
}

}  // namespace
}  // namespace tessaline
