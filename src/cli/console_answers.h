#pragma once
// The core's messages and questions, answered on a console: messages go to the error
// stream, the password prompt reads from the password input, and the dialogs a console
// has no use for are answered with Cancel.

#include <ostream>
#include <string>

#include "cli/password_input.h"
#include "core/platform/user_answers.h"

namespace tessaline::cli {

inline constexpr const char* kProgramName = "tessaline-cli";

class ConsoleAnswers : public CancellingAnswers {
public:
    ConsoleAnswers(std::ostream& err, PasswordInput& passwords)
        : err_(err), passwords_(passwords) {}

    // The file the following messages are about; it prefixes them.
    void SetSubject(std::string subject) { subject_ = std::move(subject); }
    const std::string& Subject() const { return subject_; }

    // Prints "tessaline-cli: <subject>: <text>".
    void Report(const std::string& text);

    MsgAnswer Message(const MessageRequest& message) override;
    std::optional<std::string> DecryptionPassword(const std::string& title,
                                                  const std::string& prefill) override;

private:
    std::ostream& err_;
    PasswordInput& passwords_;
    std::string subject_;
};

}  // namespace tessaline::cli
