#include "cli/console_answers.h"

#include "core/base/secure_wipe.h"
#include "core/file/password_text.h"

namespace tessaline::cli {

void ConsoleAnswers::Report(const std::string& text) {
    err_ << kProgramName << ": ";
    if (!subject_.empty())
        err_ << subject_ << ": ";
    err_ << text << '\n';
    err_.flush();
}

MsgAnswer ConsoleAnswers::Message(const MessageRequest& message) {
    Report(message.text);
    // Nobody can click on a console: a question is answered the way that changes nothing.
    switch (message.buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Cancel;
    }
    return MsgAnswer::Cancel;
}

std::optional<std::string> ConsoleAnswers::DecryptionPassword(const std::string& title,
                                                              const std::string&) {
    std::optional<std::string> typed = passwords_.Ask(title + ": ");
    if (!typed) {
        Report(passwords_.Problem());
        return std::nullopt;
    }
    std::optional<std::string> password = PasswordBytesFromTyped(*typed);
    SecureWipe(*typed);
    return password;
}

}  // namespace tessaline::cli
