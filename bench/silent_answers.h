#pragma once
// A user who is never asked anything: the benchmarks only open and show plain documents.

#include <optional>
#include <string>

#include "platform/user_answers.h"

namespace tessaline::bench {

class SilentAnswers : public IUserAnswers {
public:
    MsgAnswer Message(const MessageSpec&) override { return MsgAnswer::Ok; }
    std::optional<std::string> DecryptionPassword(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<FileEncryptionAnswer> FileEncryption(bool, const std::string&,
                                                       const std::string&) override {
        return std::nullopt;
    }
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest&) override {
        return std::nullopt;
    }
};

}  // namespace tessaline::bench
