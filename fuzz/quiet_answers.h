#pragma once
// A user who answers every message with its first button and cancels every dialog;
// the password prompt answers with the password it was given (nullopt = Cancel).

#include <optional>
#include <string>

#include "core/platform/user_answers.h"

namespace tessaline::fuzz {

class QuietAnswers : public CancellingAnswers {
public:
    explicit QuietAnswers(std::optional<std::string> password = std::nullopt)
        : password_(std::move(password)) {}

    MsgAnswer Message(const MessageRequest& message) override {
        switch (message.buttons) {
            case MsgButtons::YesNo:
            case MsgButtons::YesNoCancel:
                return MsgAnswer::Yes;
            case MsgButtons::Ok:
            case MsgButtons::OkCancel:
                break;
        }
        return MsgAnswer::Ok;
    }
    std::optional<std::string> DecryptionPassword(const std::string&, const std::string&) override {
        ++prompts_;
        return password_;
    }
    int Prompts() const { return prompts_; }

private:
    std::optional<std::string> password_;
    int prompts_ = 0;
};

}  // namespace tessaline::fuzz
