#pragma once
// Data files' bytes in the core tests: written from cards with nothing to tell the user,
// and read with a scripted user who answers the password prompts, keeping everything the
// reader produced for the checks.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/cards/card_collection.h"
#include "core/document/file_with_user.h"
#include "core/file/data_file.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "support/scripted_answers.h"

namespace tessaline::testing {

// The bytes of a data file holding cards, written as state says; the test fails when the
// writer refuses them or has anything to tell the user.
inline std::vector<std::uint8_t> WrittenBytes(const CCardCollection& cards, FileCipherState state) {
    WriteResult written = BuildDataFile(cards, state);
    EXPECT_TRUE(written.bytes.has_value());
    EXPECT_TRUE(written.messages.empty());
    return written.bytes.value_or(std::vector<std::uint8_t>{});
}

// What one read produced: the result, with the cards and the cipher state, and the user
// who was asked (with what was shown to them).
template <typename User = ScriptedAnswers>
struct OpenedFile {
    User ui;
    ReadResult result;
    CCardCollection& cards = *result.cards;
    FileCipherState& state = result.state;

    // Reads bytes as the file named title; passwords answer the password prompts in turn
    // (std::nullopt is Cancel). An answer left over fails the test when the result goes.
    OpenedFile(std::span<const std::uint8_t> bytes,
               std::vector<std::optional<std::string>> passwords, const std::string& title)
        : result(Read(ui, bytes, std::move(passwords), title)) {}
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;

private:
    static ReadResult Read(User& ui, std::span<const std::uint8_t> bytes,
                           std::vector<std::optional<std::string>> passwords,
                           const std::string& title) {
        for (auto& p : passwords)
            ui.Password(std::move(p));
        MemoryProfile profile;
        return ReadDataFileWithUser(bytes,
                                    UserReadRequest{ui, DateFormatIndex(profile), title, ""});
    }
};

template <typename User = ScriptedAnswers>
std::unique_ptr<OpenedFile<User>> OpenBytes(std::span<const std::uint8_t> bytes,
                                            std::vector<std::optional<std::string>> passwords = {},
                                            const std::string& title = "file.tse") {
    return std::make_unique<OpenedFile<User>>(bytes, std::move(passwords), title);
}

}  // namespace tessaline::testing
