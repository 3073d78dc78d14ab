// The folder of the DDE and browser-keeper sockets: never in a shared place where another
// user could take its name first, and never used when it is not ours alone.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/dde/dde_folder.h"

namespace tessaline::dde {
namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and puts the old values back.
class Environment {
public:
    void Set(const char* name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

class DdeFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tessaline-dde-folder-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "home");
        env.Set("TESSALINE_DDE_FOLDER", std::nullopt);
        env.Set("XDG_RUNTIME_DIR", std::nullopt);
        env.Set("XDG_CACHE_HOME", std::nullopt);
        env.Set("HOME", (dir / "home").string());
    }
    void TearDown() override { fs::remove_all(dir); }

    static struct stat Stat(const fs::path& path) {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st;
    }

    fs::path dir;
    Environment env;
};

// Without a runtime folder the sockets go to the user's own cache folder, made for the
// user alone; never to a name in /tmp that anyone could create first.
TEST_F(DdeFolderTest, WithoutARuntimeFolderTheUsersCacheFolderIsUsed) {
    const fs::path expected = dir / "home" / ".cache" / "tessaline-dde";
    EXPECT_EQ(SocketFolderPath(), expected.string());
    EXPECT_EQ(EnsurePrivateSocketFolder(), expected.string());
    const struct stat st = Stat(expected);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());
    EXPECT_EQ(Stat(dir / "home" / ".cache").st_mode & 0077, 0u);

    env.Set("XDG_CACHE_HOME", (dir / "cache").string());
    EXPECT_EQ(SocketFolderPath(), (dir / "cache" / "tessaline-dde").string());
    // A relative cache folder is not one (it would depend on the current folder).
    env.Set("XDG_CACHE_HOME", "relative/cache");
    EXPECT_EQ(SocketFolderPath(), expected.string());

    // A runtime folder of our own is used as before.
    env.Set("XDG_RUNTIME_DIR", (dir / "home").string());
    EXPECT_EQ(SocketFolderPath(), (dir / "home" / "tessaline-dde").string());
}

TEST_F(DdeFolderTest, AFolderThatIsNotOursAloneIsRefusedOrNarrowed) {
    const fs::path folder = dir / "home" / ".cache" / "tessaline-dde";
    fs::create_directories(folder.parent_path());

    // A link, even to a folder of our own, is refused.
    fs::create_directories(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", folder);
    EXPECT_EQ(EnsurePrivateSocketFolder(), std::nullopt);
    fs::remove(folder);

    // Our own folder opened to others is narrowed to the user alone.
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::all);
    EXPECT_EQ(EnsurePrivateSocketFolder(), folder.string());
    EXPECT_EQ(Stat(folder).st_mode & 0777, 0700u);

    if (::geteuid() != 0)
        GTEST_SKIP() << "a folder of another user needs root to be made";
    // Another user's folder at that place: refused, and left as it was.
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_EQ(EnsurePrivateSocketFolder(), std::nullopt);
    EXPECT_EQ(Stat(folder).st_uid, 65534u);
}

}  // namespace
}  // namespace tessaline::dde
