// Whole-file writes: a failure at any point leaves the old file as it was.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "core/file/file_lock.h"
#include "core/file/safe_file.h"
#include "support/data_files.h"
#include "support/save_leftovers.h"

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

    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        return names;
    }
    fs::path dir_;
};

// Every test of writing runs both ways: into an unnamed file, and by the named temporary
// file that filesystems without unnamed files need.
class SafeWriteTest : public SafeFileTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        SafeFileTest::SetUp();
        UseUnnamedTemporaryFiles(GetParam());
    }
    void TearDown() override {
        UseUnnamedTemporaryFiles(true);
        SafeFileTest::TearDown();
    }
};

INSTANTIATE_TEST_SUITE_P(TempFiles, SafeWriteTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

struct stat StatOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
    return st;
}

TEST_P(SafeWriteTest, NewFilesAreForTheOwnerOnlyAndExistingOnesKeepTheirMode) {
    const fs::path p = dir_ / "new.tse";
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("first")));
    EXPECT_EQ(testing::ReadFileText(p), "first");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("second")));
    EXPECT_EQ(testing::ReadFileText(p), "second");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FilesInDir(), 1u);  // no temporary file left behind
}

TEST_P(SafeWriteTest, AWriteThatFailsHalfWayLeavesTheOldFileIntact) {
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
    EXPECT_EQ(testing::ReadFileText(p), old);
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_P(SafeWriteTest, UnwritablePlacesAreReportedWithTheFileName) {
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

TEST_P(SafeWriteTest, WritingThroughALinkReplacesTheLinkedFile) {
    const fs::path target = dir_ / "real.tse";
    const fs::path link = dir_ / "link.tse";
    ASSERT_FALSE(WriteFileSafely(target.string(), std::string("old")));
    fs::create_symlink(target, link);
    ASSERT_FALSE(WriteFileSafely(link.string(), std::string("new")));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testing::ReadFileText(target), "new");

    // A relative link to a link to a file not there yet creates that file.
    fs::create_directory(dir_ / "sub");
    fs::create_symlink("../later.tse", dir_ / "sub" / "hop.tse");
    fs::create_symlink("sub/hop.tse", dir_ / "first.tse");
    ASSERT_FALSE(WriteFileSafely((dir_ / "first.tse").string(), std::string("made")));
    EXPECT_TRUE(fs::is_symlink(dir_ / "first.tse"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "sub" / "hop.tse"));
    EXPECT_EQ(testing::ReadFileText(dir_ / "later.tse"), "made");
    EXPECT_EQ(StatOf(dir_ / "later.tse").st_mode & 07777, 0600u);
}

// A save killed at any moment leaves the old file and, with unnamed files, nothing else;
// a named temporary file it left is removed by the next save of the same target, while
// files that only look similar stay.
TEST_P(SafeWriteTest, AKilledSaveLeavesNothingBehind) {
    const fs::path p = dir_ / "cards.tse";
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("old cards")));
    const std::set<std::string> others = {".cards.tse.tessaline-abc", "cards.tse.tessaline-abcdef",
                                          ".other.tse.tessaline-abcdef"};
    for (const std::string& name : others)
        std::ofstream(dir_ / name) << "not ours to remove";

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileError error;
        std::optional<FileReplacement> file =
            FileReplacement::Begin(p.string(), WriteOptions{}, error);
        if (file) {
            const std::string secret(100000, 's');
            file->Write(
                std::span(reinterpret_cast<const std::uint8_t*>(secret.data()), secret.size()));
        }
        ::raise(SIGKILL);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(testing::ReadFileText(p), "old cards");
    std::set<std::string> expected = others;
    expected.insert("cards.tse");
    std::set<std::string> found = Names();
    if (!GetParam()) {
        ASSERT_EQ(found.size(), expected.size() + 1);  // the named temporary file
        bool leftover = false;
        for (const std::string& name : found) {
            if (name.rfind(".cards.tse.tessaline-", 0) == 0 && name.size() == 27) {
                leftover = true;
                EXPECT_EQ(StatOf(dir_ / name).st_mode & 07777, 0600u);
            }
        }
        EXPECT_TRUE(leftover);
    } else {
        EXPECT_EQ(found, expected);
    }

    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("new cards")));
    EXPECT_EQ(testing::ReadFileText(p), "new cards");
    EXPECT_EQ(Names(), expected);
}

// A file that was not there when the writing began is created only while its name is
// free: what another program made there meanwhile stays, and nothing else is left.
TEST_P(SafeWriteTest, ANewFileNeverReplacesOneMadeMeanwhile) {
    const fs::path p = dir_ / "new.tsf";
    const std::string refusal =
        p.string() + " was created by another program meanwhile; it was not replaced.";
    FileError error;
    std::optional<FileReplacement> file = FileReplacement::Begin(p.string(), WriteOptions{}, error);
    ASSERT_TRUE(file);
    const std::string mine = "my cards";
    ASSERT_FALSE(
        file->Write(std::span(reinterpret_cast<const std::uint8_t*>(mine.data()), mine.size())));
    ASSERT_TRUE(testing::WriteFileText(p, "their cards"));
    const std::optional<FileError> failed = file->Commit();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->code, EEXIST);
    EXPECT_TRUE(failed->explained);
    EXPECT_EQ(failed->what, refusal);
    EXPECT_EQ(testing::ReadFileText(p), "their cards");
    EXPECT_EQ(Names(), std::set<std::string>{"new.tsf"});

    // A writer that found no file says so: a file there by the time it begins stays too.
    const std::optional<FileError> refused =
        WriteFileSafely(p.string(), mine, WriteOptions{.mustBeNew = true});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->what, refusal);
    EXPECT_EQ(testing::ReadFileText(p), "their cards");
    EXPECT_EQ(Names(), std::set<std::string>{"new.tsf"});
}

// Exports and printed files are owner-only whatever they replace; data files keep the mode.
TEST_P(SafeWriteTest, OwnerOnlyOutputsAreOwnerOnlyWhateverTheyReplace) {
    const fs::path p = dir_ / "out.txt";
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("old")));
    ::chmod(p.c_str(), 0644);
    ASSERT_FALSE(
        WriteFileSafely(p.string(), std::string("clear text"), WriteOptions{.ownerOnly = true}));
    EXPECT_EQ(testing::ReadFileText(p), "clear text");
    EXPECT_EQ(StatOf(p).st_mode & 07777, 0600u);
    ::chmod(p.c_str(), 0664);
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("data")));
    EXPECT_EQ(StatOf(p).st_mode & 07777, 0664u);
}

// A file the user may not write, one that is not a regular file, and one with other hard
// links are not replaced; each says why, and nothing else is left in the folder.
TEST_P(SafeWriteTest, FilesThatMustNotBeReplacedAreLeftAsTheyAre) {
    const fs::path readOnly = dir_ / "read-only.tse";
    const fs::path linked = dir_ / "linked.tse";
    const fs::path fifo = dir_ / "fifo.tse";
    for (const fs::path& p : {readOnly, linked})
        ASSERT_FALSE(WriteFileSafely(p.string(), std::string("old")));
    ::chmod(readOnly.c_str(), 0400);
    fs::create_hard_link(linked, dir_ / "other-name.tse");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    struct Case {
        fs::path path;
        std::string what;
    };
    const Case cases[] = {
        {readOnly, readOnly.string() + " is read-only."},
        {linked, linked.string() +
                     " has other names (hard links) that saving would part from it; it was not "
                     "replaced. Save it under a new name instead."},
        {fifo, fifo.string() + " is not a regular file; it was not replaced."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.filename().string());
        const std::optional<FileError> error = WriteFileSafely(c.path.string(), std::string("new"));
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->explained);
        EXPECT_EQ(error->what, c.what);
    }
    EXPECT_EQ(testing::ReadFileText(readOnly), "old");
    EXPECT_EQ(StatOf(readOnly).st_mode & 07777, 0400u);
    EXPECT_EQ(testing::ReadFileText(dir_ / "other-name.tse"), "old");
    EXPECT_EQ(StatOf(linked).st_nlink, 2u);
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
    EXPECT_EQ(Names(),
              (std::set<std::string>{"read-only.tse", "linked.tse", "other-name.tse", "fifo.tse"}));
}

// Root saving a user's file leaves it the user's, with its group and mode.
TEST_P(SafeWriteTest, AReplacedFileKeepsItsOwnerGroupAndMode) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file to another user";
    const fs::path p = dir_ / "users.tse";
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("old")));
    ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("new")));
    const struct stat st = StatOf(p);
    EXPECT_EQ(testing::ReadFileText(p), "new");
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesInDir(), 1u);
}

// A user who may write a file but may not give a new one its owner does not replace it.
TEST_P(SafeWriteTest, AFileThatCannotKeepItsOwnerIsNotReplaced) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    ::chmod(dir_.c_str(), 0777);
    const fs::path p = dir_ / "roots.tse";
    ASSERT_FALSE(WriteFileSafely(p.string(), std::string("old")));
    ASSERT_EQ(::chmod(p.c_str(), 0666), 0);

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const std::optional<FileError> error = WriteFileSafely(p.string(), std::string("new"));
        const std::string what = error ? error->what : std::string("saved");
        (void)!::write(pipeFds[1], what.data(), what.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string what;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        what.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(what, p.string() +
                        " belongs to user root and group root, which this program may not give "
                        "to the new copy; it was not replaced.");
    EXPECT_EQ(testing::ReadFileText(p), "old");
    EXPECT_EQ(StatOf(p).st_uid, 0u);
    EXPECT_EQ(FilesInDir(), 1u);
}

// A printer writes the file by its own name for it; the target appears only at Commit.
TEST_P(SafeWriteTest, OtherCodeWritesThroughTheWritePath) {
    const fs::path p = dir_ / "cards.pdf";
    FileError error;
    {
        std::optional<FileReplacement> file =
            FileReplacement::Begin(p.string(), WriteOptions{.ownerOnly = true}, error);
        ASSERT_TRUE(file);
        std::ofstream(file->WritePath(), std::ios::binary | std::ios::trunc) << "%PDF";
        EXPECT_EQ(file->Size(), 4u);
        EXPECT_FALSE(fs::exists(p));
        // Not committed: nothing stays.
    }
    EXPECT_EQ(FilesInDir(), 0u);
    std::optional<FileReplacement> file =
        FileReplacement::Begin(p.string(), WriteOptions{.ownerOnly = true}, error);
    ASSERT_TRUE(file);
    std::ofstream(file->WritePath(), std::ios::binary | std::ios::trunc) << "%PDF-1.4";
    ASSERT_FALSE(file->Commit());
    EXPECT_EQ(testing::ReadFileText(p), "%PDF-1.4");
    EXPECT_EQ(StatOf(p).st_mode & 07777, 0600u);
    EXPECT_EQ(FilesInDir(), 1u);
}

// What interrupted saves of a data file left beside it goes when the file is opened: only
// regular files of our own with exactly the temporary files' names, and only while no
// writer holds the file (a save under way keeps its new file).
TEST_F(SafeFileTest, OpeningRemovesOnlyOurOwnSaveLeftovers) {
    const fs::path p = dir_ / "cards.tsf";
    ASSERT_TRUE(testing::WriteFileText(p, "data"));
    const testing::SaveLeftovers made = testing::MakeSaveLeftovers(p);
    auto exists = [](const fs::path& q) { return fs::exists(fs::symlink_status(q)); };
    {
        std::optional<DataFileLock> writer = DataFileLock::Acquire(p.string());
        ASSERT_TRUE(writer && writer->Held());
        RemoveSaveLeftovers(p.string());
        for (const fs::path& q : made.ours)
            EXPECT_TRUE(exists(q)) << q;
    }
    RemoveSaveLeftovers(p.string());
    for (const fs::path& q : made.ours)
        EXPECT_FALSE(exists(q)) << q;
    for (const fs::path& q : made.others)
        EXPECT_TRUE(exists(q)) << q;
    EXPECT_EQ(testing::ReadFileText(dir_ / "linked-to.txt"), "0\tcards in clear\t\t\tsecret\t\r\n");
    EXPECT_EQ(testing::ReadFileText(p), "data");
}

// A source that is not a file (a pipe, the standard input) is read to its end, but never
// past the limit: one byte more and the reading stops with the limit in the message.
TEST_F(SafeFileTest, AStreamIsReadOnlyUpToTheLimit) {
    struct Case {
        std::size_t size;
        std::uint64_t limit;
        bool read;
    };
    const Case cases[] = {
        {0, 10, true}, {10, 10, true}, {11, 10, false}, {300000, 10, false}, {300000, 300000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " bytes, limit " + std::to_string(c.limit));
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        std::string bytes(c.size, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>('a' + i % 26);
        // A writer that keeps going after the limit: the reader must not wait for its end.
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            ::close(fds[0]);
            std::size_t done = 0;
            while (done < bytes.size()) {
                const ssize_t n = ::write(fds[1], bytes.data() + done, bytes.size() - done);
                if (n <= 0)
                    ::_exit(0);
                done += static_cast<std::size_t>(n);
            }
            ::_exit(0);
        }
        ::close(fds[1]);
        FileError error;
        const auto read = ReadAllWithin(fds[0], "the standard input", c.limit, error);
        ::close(fds[0]);
        ::waitpid(writer, nullptr, 0);
        if (c.read) {
            ASSERT_TRUE(read);
            EXPECT_EQ(std::string(read->begin(), read->end()), bytes);
        } else {
            EXPECT_FALSE(read);
            EXPECT_EQ(error.code, EFBIG);
            EXPECT_EQ(error.what, "the standard input is larger than " + std::to_string(c.limit) +
                                      " bytes, the most this program reads; it was not read.");
        }
    }
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

// Only regular files up to the limit are read: a pipe never makes the reader wait, a
// device is not read at all, and a huge file is refused before a byte is read.
TEST_F(SafeFileTest, OnlyRegularFilesWithinTheLimitAreRead) {
    const fs::path fifo = dir_ / "pipe.tse";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path huge = dir_ / "huge.tse";
    {
        const int fd = ::open(huge.c_str(), O_CREAT | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxReadableFileSize) + 1), 0);  // sparse
        ::close(fd);
    }
    struct Case {
        std::string path;
        int code;
        std::string what;
    };
    const Case cases[] = {
        {fifo.string(), ENODEV,
         fifo.string() +
             " is not a regular file (it is a device, a pipe or a socket); it was not read."},
        {"/dev/zero", ENODEV,
         "/dev/zero is not a regular file (it is a device, a pipe or a socket); it was not read."},
        {dir_.string(), EISDIR, dir_.string() + " is a folder, not a file."},
        {huge.string(), EFBIG,
         huge.string() + " is larger than 256 MiB, the most this program reads; it was not read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FileError error;
        EXPECT_FALSE(ReadWholeFile(c.path, error));
        EXPECT_EQ(error.code, c.code);
        EXPECT_EQ(error.what, c.what);
        EXPECT_TRUE(error.explained);
    }
}

}  // namespace
}  // namespace tessaline
