// Both programs hold decrypted cards: from their start no other process of lower
// privilege may dump or trace them, and they leave no core dumps.
//
// A process that is not dumpable has the files in its /proc/<pid> owned by root. The programs
// run as user 65534 (through setpriv) when the test runs as root, and as the test's own
// user otherwise; either way /proc/<pid>/environ must turn root's, and the core-file
// limit 0.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/platform/process_hardening.h"
#include "support/card_fixtures.h"
#include "support/scripted_answers.h"

namespace tessaline {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kOtherUser = 65534;

TEST(ProcessHardening, TheCallerBecomesUndumpableWithoutCoreDumps) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::prctl(PR_SET_DUMPABLE, 1, 0, 0, 0);
        if (!HardenProcessAgainstDumps())
            ::_exit(1);
        if (::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0)
            ::_exit(2);
        rlimit core{};
        if (::getrlimit(RLIMIT_CORE, &core) != 0 || core.rlim_cur != 0 || core.rlim_max != 0)
            ::_exit(3);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: call failed, 2: still dumpable, 3: core dumps on";
}

// A program started with its standard input on a pipe that stays open, as another user
// when the test runs as root; ended when this goes.
class RunningProgram {
public:
    RunningProgram(const std::vector<std::string>& command, const fs::path& home) {
        int input[2];
        if (::pipe(input) != 0)
            return;
        std::vector<std::string> all;
        if (::geteuid() == 0)
            all = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        all.insert(all.end(), command.begin(), command.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(input[0], 0);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::close(input[0]);
            ::close(input[1]);
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
            ::setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(input[0]);
        input_ = input[1];
    }
    ~RunningProgram() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (input_ >= 0)
            ::close(input_);
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t Pid() const { return pid_; }

    // Waits until the program itself runs (not setpriv, not the forked test) and
    // /proc/<pid> shows what `shielded` asks for. False when it never does.
    bool Shows(const std::string& name, bool shielded) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            if (Comm() == name.substr(0, 15) && Shielded() == shielded)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

private:
    std::string Comm() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/comm");
        std::string comm;
        std::getline(in, comm);
        return comm;
    }
    // /proc/<pid>/environ owned by root, and "Max core file size  0  0".
    bool Shielded() const {
        struct stat st {};
        if (::stat(("/proc/" + std::to_string(pid_) + "/environ").c_str(), &st) != 0 ||
            st.st_uid != 0)
            return false;
        std::ifstream limits("/proc/" + std::to_string(pid_) + "/limits");
        for (std::string line; std::getline(limits, line);)
            if (line.rfind("Max core file size", 0) == 0) {
                std::istringstream fields(line.substr(18));
                std::string soft, hard;
                fields >> soft >> hard;
                return soft == "0" && hard == "0";
            }
        return false;
    }

    pid_t pid_ = -1;
    int input_ = -1;
};

class ProgramHardening : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tessaline-hardening-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "home");
        // The other user must reach its home and the data file.
        if (::geteuid() == 0) {
            ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
            ASSERT_EQ(::chown((dir_ / "home").c_str(), kOtherUser, kOtherUser), 0);
        }
        fs::permissions(dir_ / "home", fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
};

// The check itself tells a dumpable program from one that is not.
TEST_F(ProgramHardening, AnOrdinaryProgramIsSeenAsDumpable) {
    RunningProgram sleeper({"/bin/sleep", "30"}, dir_ / "home");
    EXPECT_TRUE(sleeper.Shows("sleep", false));
}

TEST_F(ProgramHardening, TheCommandLineProgramIsShieldedWhileItAsksForThePassword) {
    CCardCollection cards;
    testing::AddCard(cards, testing::CardFields{.code = 0, .name = "Bank", .password = "pin"});
    FileCipherState state;
    state.encryptOnSave = true;
    state.encryptionPassword = "the password";
    testing::ScriptedAnswers answers;
    const auto bytes = BuildDataFileWithUser(cards, state, answers);
    ASSERT_TRUE(bytes);
    const fs::path file = dir_ / "cards.tse";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes->data()),
               static_cast<std::streamsize>(bytes->size()));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read |
                              fs::perms::group_read);

    // It waits on its standard input for the password: the moment a secret arrives.
    RunningProgram cli({TESSALINE_CLI, "ls", file.string()}, dir_ / "home");
    EXPECT_TRUE(cli.Shows("tessaline-cli", true));
}

#ifdef TESSALINE_GUI_PROGRAM
TEST_F(ProgramHardening, TheDesktopProgramIsShieldedOnceItRuns) {
    RunningProgram gui({TESSALINE_GUI_PROGRAM, "--no-splash"}, dir_ / "home");
    EXPECT_TRUE(gui.Shows("tessaline", true));
}
#endif

}  // namespace
}  // namespace tessaline
