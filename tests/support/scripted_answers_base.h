#pragma once
// The user, as a script: every message shown is recorded, and every question is
// answered from queues the test fills in advance. The script fails the test through
// Failure::Report(text) when the program asks a question the script has no answer for
// (the text names the question), and when answers are left over once the test is done:
// a dialog the test did not expect, or one it expected that never came, is a finding.
// The same script serves GoogleTest and QtTest programs: include
// support/scripted_answers.h for the one, support/qt_scripted_answers.h for the other.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/user_answers.h"

namespace tessaline::testing {

template <typename Failure>
class BasicScriptedAnswers : public IUserAnswers {
public:
    // Messages in the order they were shown.
    std::vector<MessageRequest> shown;
    // The caption text of each shown message that had one of its own, else "".
    std::vector<std::string> captionTexts;
    std::vector<std::string> passwordTitles;
    std::vector<std::string> passwordPrefills;
    std::vector<FileDialogRequest> fileRequests;        // open and save choosers, in order
    std::vector<FileEncryptionStart> encryptionStarts;  // what the dialog was started with
    // The buttons of each question asked with buttons of its own, and their defaults.
    std::vector<std::vector<std::string>> buttonLists;
    std::vector<std::size_t> defaultButtons;
    // The entries of each list the user was asked to choose from.
    std::vector<std::vector<std::string>> choiceLists;

    std::deque<MsgAnswer> messageAnswers;  // for boxes with more than an OK button
    std::deque<std::optional<std::string>> passwords;
    std::deque<std::optional<std::string>> handheldPasswords;
    std::deque<std::optional<FileEncryptionAnswer>> encryptionAnswers;
    std::deque<std::optional<FileDialogAnswer>> fileAnswers;  // open and save choosers
    std::deque<std::optional<std::size_t>> choices;
    std::deque<std::size_t> buttonAnswers;  // the index of the button each such question gets

    BasicScriptedAnswers() = default;
    BasicScriptedAnswers(const BasicScriptedAnswers&) = delete;
    BasicScriptedAnswers& operator=(const BasicScriptedAnswers&) = delete;
    ~BasicScriptedAnswers() override { ExpectUsedUp(); }

    BasicScriptedAnswers& Password(std::optional<std::string> p) {
        passwords.push_back(std::move(p));
        return *this;
    }
    // The next file chooser picks path (with the first filter).
    BasicScriptedAnswers& Choose(std::string path, int filterIndex = 0) {
        fileAnswers.push_back(FileDialogAnswer{std::move(path), filterIndex});
        return *this;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const MessageRequest& m : shown)
            out.push_back(m.text);
        return out;
    }
    // Forgets the messages shown so far, so a test can look at what one step shows.
    void ClearShown() {
        shown.clear();
        captionTexts.clear();
    }

    // Fails the test for every answer the program never asked for, and drops them.
    // Runs when the script goes; a script that lives across tests calls it after each.
    void ExpectUsedUp() {
        auto check = [](auto& queue, const char* what) {
            if (!queue.empty())
                Failure::Report("script left unused: " + std::to_string(queue.size()) + " " + what);
            queue.clear();
        };
        check(messageAnswers, "message answer(s)");
        check(passwords, "password(s)");
        check(handheldPasswords, "handheld password(s)");
        check(encryptionAnswers, "File Encryption answer(s)");
        check(fileAnswers, "file chooser answer(s)");
        check(choices, "list choice(s)");
        check(buttonAnswers, "button answer(s)");
    }

    MsgAnswer MessageWithCaption(const MessageRequest& message,
                                 const std::string& caption) override {
        MsgAnswer a = Message(message);
        captionTexts.back() = caption;
        return a;
    }
    MsgAnswer Message(const MessageRequest& message) override {
        shown.push_back(message);
        captionTexts.emplace_back();
        if (message.buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (messageAnswers.empty()) {
            Failure::Report("unexpected question: " + message.text);
            return MsgAnswer::Cancel;
        }
        MsgAnswer a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    std::optional<std::string> DecryptionPassword(const std::string& title,
                                                  const std::string& prefill) override {
        passwordTitles.push_back(title);
        passwordPrefills.push_back(prefill);
        return Pop(passwords, "password prompt: " + title);
    }
    std::optional<std::string> HandheldPassword() override {
        return Pop(handheldPasswords, "handheld password prompt");
    }
    std::optional<FileEncryptionAnswer> FileEncryption(const FileEncryptionStart& start) override {
        encryptionStarts.push_back(start);
        return Pop(encryptionAnswers, "File Encryption dialog");
    }
    std::size_t AskWithButtons(const MessageRequest& question,
                               const std::vector<std::string>& buttons,
                               std::size_t defaultButton) override {
        shown.push_back(question);
        captionTexts.emplace_back();
        buttonLists.push_back(buttons);
        defaultButtons.push_back(defaultButton);
        if (buttonAnswers.empty()) {
            Failure::Report("unexpected question: " + question.text);
            return buttons.empty() ? 0 : buttons.size() - 1;
        }
        const std::size_t a = buttonAnswers.front();
        buttonAnswers.pop_front();
        return a;
    }
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return Pop(fileAnswers, "save-file chooser: " + request.title);
    }
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        return Pop(fileAnswers, "open-file chooser: " + request.title);
    }

    std::optional<std::size_t> ChooseFromList(const std::string&, const std::string&,
                                              const std::vector<std::string>& entries) override {
        choiceLists.push_back(entries);
        return Pop(choices, "choice from a list");
    }

private:
    template <typename T>
    static std::optional<T> Pop(std::deque<std::optional<T>>& queue, const std::string& what) {
        if (queue.empty()) {
            Failure::Report("unexpected " + what);
            return std::nullopt;
        }
        std::optional<T> v = std::move(queue.front());
        queue.pop_front();
        return v;
    }
};

}  // namespace tessaline::testing
