#pragma once
// Running the real tessaline-cli in a test: its standard input from a file (so not a
// terminal), its exit status, output and messages read back. TESSALINE_CLI is the
// program's path.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace tessaline::testing {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Starts tessaline-cli with args and the file actions given; -1 when it could not start.
inline pid_t SpawnCli(const std::vector<std::string>& args,
                      const posix_spawn_file_actions_t& actions) {
    std::vector<std::string> all{TESSALINE_CLI};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, TESSALINE_CLI, &actions, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

// Runs the program with args and input as its standard input, keeping its streams in
// files in dir.
inline CliRun RunCli(const std::filesystem::path& dir, const std::vector<std::string>& args,
                     const std::string& input = "") {
    const std::filesystem::path in = dir / ".stdin", out = dir / ".stdout", err = dir / ".stderr";
    WriteText(in, input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    CliRun run;
    if (const pid_t pid = SpawnCli(args, actions); pid > 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = ReadText(out);
    run.err = ReadText(err);
    return run;
}

// A test that runs tessaline-cli in a folder of its own, made before each test (named
// after the test, under the system's temporary folder) and removed after it.
class CliFolderTest : public ::testing::Test {
protected:
    explicit CliFolderTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (prefix_ + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path Path(const std::string& name) const { return dir_ / name; }

    // Runs the program with args; input is its standard input (a file, so not a terminal).
    CliRun Cli(const std::vector<std::string>& args, const std::string& input = "") {
        return RunCli(dir_, args, input);
    }

    std::string prefix_;
    std::filesystem::path dir_;
};

}  // namespace tessaline::testing
