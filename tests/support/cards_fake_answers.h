#pragma once
// The user, as a script, for the card GUI tests: messages are recorded, questions and
// file choosers are answered from queues filled in advance.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/user_answers.h"

namespace tessaline::testing {

class FakeAnswers : public IUserAnswers {
public:
    std::vector<std::string> texts;
    std::vector<std::string> captions;  // the caption text given, or "" for the default
    std::vector<MessageRequest> shown;
    std::vector<FileDialogRequest> fileRequests;
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<FileDialogAnswer>> files;
    std::deque<std::optional<std::string>> passwords;
    int unexpected = 0;

    MsgAnswer Message(const MessageRequest& m) override { return Record(m, ""); }
    MsgAnswer MessageWithCaption(const MessageRequest& m, const std::string& caption) override {
        return Record(m, caption);
    }
    std::optional<std::string> DecryptionPassword(const std::string&, const std::string&) override {
        if (passwords.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        auto p = passwords.front();
        passwords.pop_front();
        return p;
    }
    std::optional<FileEncryptionAnswer> FileEncryption(bool, const std::string&, const std::string&,
                                                       bool) override {
        ++unexpected;
        return std::nullopt;
    }
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest& r) override {
        return File(r);
    }
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest& r) override {
        return File(r);
    }

private:
    MsgAnswer Record(const MessageRequest& m, const std::string& caption) {
        texts.push_back(m.text);
        captions.push_back(caption);
        shown.push_back(m);
        if (m.buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (answers.empty()) {
            ++unexpected;
            return MsgAnswer::Cancel;
        }
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<FileDialogAnswer> File(const FileDialogRequest& r) {
        fileRequests.push_back(r);
        if (files.empty()) {
            ++unexpected;
            return std::nullopt;
        }
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

}  // namespace tessaline::testing
