#pragma once
// What the main-window tests share: a scripted user whose every message is recorded and
// whose answers come from queues, and data files written for a test.

#include <QApplication>
#include <QFile>
#include <QTest>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/platform/user_answers.h"
#include "support/card_fixtures.h"

namespace tessaline::frametest {

class ScriptedUser : public IUserAnswers {
public:
    std::vector<std::string> messages;        // every message text, in order
    std::vector<std::string> passwordTitles;  // the Decryption Password dialog's titles
    std::vector<std::string> passwordPrefills;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<std::string> unexpected;  // questions the script had no answer for

    std::deque<MsgAnswer> answers;  // for boxes with more than an OK button
    std::deque<std::optional<std::string>> passwords;
    std::deque<std::optional<std::string>> handheldPasswords;
    std::deque<std::optional<FileEncryptionAnswer>> encryption;
    std::deque<std::optional<std::string>> openPaths;
    std::deque<std::optional<std::string>> savePaths;

    MsgAnswer Message(const MessageRequest& m) override {
        messages.push_back(m.text);
        if (m.buttons == MsgButtons::Ok)
            return MsgAnswer::Ok;
        if (answers.empty()) {
            unexpected.push_back("question: " + m.text);
            return MsgAnswer::Cancel;
        }
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> DecryptionPassword(const std::string& title,
                                                  const std::string& prefill) override {
        passwordTitles.push_back(title);
        passwordPrefills.push_back(prefill);
        return Pop(passwords, "password");
    }
    std::optional<std::string> HandheldPassword() override {
        return Pop(handheldPasswords, "handheld password");
    }
    std::optional<FileEncryptionAnswer> FileEncryption(bool, const std::string&, const std::string&,
                                                       bool) override {
        return Pop(encryption, "file encryption");
    }
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest& r) override {
        saveRequests.push_back(r);
        return Chosen(Pop(savePaths, "save chooser"));
    }
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest& r) override {
        openRequests.push_back(r);
        return Chosen(Pop(openPaths, "open chooser"));
    }

private:
    static std::optional<FileDialogAnswer> Chosen(std::optional<std::string> path) {
        if (!path)
            return std::nullopt;
        return FileDialogAnswer{*path, 0};
    }
    template <typename T>
    std::optional<T> Pop(std::deque<std::optional<T>>& queue, const char* what) {
        if (queue.empty()) {
            unexpected.push_back(what);
            return std::nullopt;
        }
        std::optional<T> v = std::move(queue.front());
        queue.pop_front();
        return v;
    }
};

// Writes a data file with the cards given, encrypted when password is not empty.
inline bool WriteDataFile(const QString& path, const std::vector<testing::CardFields>& cards,
                          const std::string& password = {}) {
    CCardCollection collection;
    for (const testing::CardFields& c : cards)
        testing::AddCard(collection, c);
    FileCipherState state;
    state.encryptOnSave = !password.empty();
    state.encryptionPassword = password;
    ScriptedUser quiet;
    const std::optional<std::vector<std::uint8_t>> bytes =
        BuildDataFileWithUser(collection, state, quiet);
    if (!bytes)
        return false;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write(reinterpret_cast<const char*>(bytes->data()),
                   static_cast<qint64>(bytes->size())) == static_cast<qint64>(bytes->size());
}

inline bool IsEncryptedOnDisk(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    return InspectHeader(std::span(data, static_cast<std::size_t>(bytes.size()))).encrypted;
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace tessaline::frametest
