// The writer lock of a data file: a second writer waits and then gives up, the lock
// follows the file when a save renames a new one over it, and a file that does not exist
// yet locks nothing: it is created only while its name is free.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "core/file/file_lock.h"
#include "core/file/safe_file.h"
#include "support/data_files.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class DataFileLockTest : public ::testing::Test {
protected:
    // Whether another writer could take the lock now, without waiting.
    static bool FreeNow(const fs::path& path) {
        return DataFileLock::Acquire(path, 0ms).has_value();
    }

    testing::TempFolder folder{"file_lock"};
    fs::path dir = folder.Path();
};

TEST_F(DataFileLockTest, ASecondWriterWaitsForTheFirstAndGivesUpWhenItTakesTooLong) {
    const fs::path path = dir / "cards.tsf";
    std::ofstream(path) << "x";
    std::optional<DataFileLock> first = DataFileLock::Acquire(path);
    ASSERT_TRUE(first && first->Held());

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(DataFileLock::Acquire(path, 200ms).has_value());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);

    // Let go a moment after the second writer started waiting: it gets the lock.
    auto waiting = std::async(std::launch::async, [&] { return DataFileLock::Acquire(path, 10s); });
    std::this_thread::sleep_for(100ms);
    first.reset();
    std::optional<DataFileLock> second = waiting.get();
    ASSERT_TRUE(second && second->Held());
    EXPECT_FALSE(FreeNow(path));
    second->Release();
    EXPECT_TRUE(FreeNow(path));
}

TEST_F(DataFileLockTest, TheLockFollowsTheFileASaveRenamedOverTheOldOne) {
    const fs::path path = dir / "cards.tsf";
    std::ofstream(path) << "old";
    std::optional<DataFileLock> first = DataFileLock::Acquire(path);
    ASSERT_TRUE(first && first->Held());
    // The second writer opens the old file and waits on it.
    auto waiting = std::async(std::launch::async, [&] { return DataFileLock::Acquire(path, 10s); });
    std::this_thread::sleep_for(100ms);
    // The first writer's save puts a new file in place, then lets go of the old one.
    ASSERT_FALSE(WriteFileSafely(path.string(), std::string("new")).has_value());
    first.reset();
    std::optional<DataFileLock> second = waiting.get();
    ASSERT_TRUE(second && second->Held());
    // Locked is the file the name leads to now, not the one that was replaced.
    EXPECT_FALSE(FreeNow(path));
}

// Creating a new file never keeps a writer of another file waiting, in its folder or
// anywhere; of two writers creating the same new file, the second one's write is refused
// and the first one's file stays.
TEST_F(DataFileLockTest, ANewFileLocksNothingAndIsCreatedOnlyWhileItsNameIsFree) {
    const fs::path path = dir / "new1.tse";
    std::optional<DataFileLock> creator = DataFileLock::Acquire(path);
    ASSERT_TRUE(creator);
    EXPECT_TRUE(creator->ForNewFile());
    EXPECT_FALSE(creator->Held());
    EXPECT_TRUE(FreeNow(dir / "new2.tsf"));
    std::ofstream(dir / "existing.tsf") << "x";
    std::optional<DataFileLock> existing = DataFileLock::Acquire(dir / "existing.tsf", 0ms);
    ASSERT_TRUE(existing && existing->Held());
    EXPECT_FALSE(existing->ForNewFile());

    std::optional<DataFileLock> second = DataFileLock::Acquire(path, 0ms);
    ASSERT_TRUE(second && second->ForNewFile());
    ASSERT_FALSE(WriteFileSafely(path.string(), std::string("first"),
                                 WriteOptions{.mustBeNew = creator->ForNewFile()})
                     .has_value());
    const std::optional<FileError> refused = WriteFileSafely(
        path.string(), std::string("second"), WriteOptions{.mustBeNew = second->ForNewFile()});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->code, EEXIST);
    EXPECT_EQ(testing::ReadFileText(path), "first");
    // Once the file is there, it is locked as any other.
    std::optional<DataFileLock> third = DataFileLock::Acquire(path, 0ms);
    ASSERT_TRUE(third && third->Held());
    EXPECT_FALSE(FreeNow(path));
}

TEST_F(DataFileLockTest, WhereNoLockCanBeTakenTheWriterGoesOnAlone) {
    // A folder that does not exist: the save that follows reports that itself.
    std::optional<DataFileLock> lock = DataFileLock::Acquire(dir / "missing" / "x.tsf", 0ms);
    ASSERT_TRUE(lock.has_value());
    EXPECT_FALSE(lock->Held());
    EXPECT_EQ(BusyFileMessage("cards.tsf"),
              "cards.tsf is being changed by another program; try again.");
}

}  // namespace
}  // namespace tessaline
