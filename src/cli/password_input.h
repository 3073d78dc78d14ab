#pragma once
// Where passwords come from: the terminal, typed without echo, or the standard input
// that a script fills with one password a line.

#include <optional>
#include <string>

namespace tessaline::cli {

class PasswordInput {
public:
    // Asks on the controlling terminal.
    static PasswordInput FromTerminal() { return PasswordInput(-1); }
    // Reads lines from fd (which stays open); prompts are not shown.
    static PasswordInput FromDescriptor(int fd) { return PasswordInput(fd); }

    // The next password, without its line end. std::nullopt when none can be had (end of
    // input, no terminal, a read error); Problem() then says why.
    std::optional<std::string> Ask(const std::string& prompt);
    const std::string& Problem() const { return problem_; }
    // Typed on a terminal (and so worth asking twice when new).
    bool FromTerminalInput() const { return fd_ < 0; }

private:
    explicit PasswordInput(int fd) : fd_(fd) {}
    std::optional<std::string> AskTerminal(const std::string& prompt);
    std::optional<std::string> ReadDescriptorLine();

    int fd_;
    std::string problem_;
};

}  // namespace tessaline::cli
