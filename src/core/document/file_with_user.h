#pragma once
// Reading and writing a data file with a user: the password is asked, slow work is shown
// as such, and what the file code has to say is shown in its order.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/file/data_file.h"

namespace tessaline {

class IUserAnswers;

struct UserReadRequest {
    IUserAnswers& ui;
    int dateFormat = 0;           // the "Date Format" index for the cards' date texts
    std::string fileTitle;        // in the password dialog's title
    std::string passwordPrefill;  // what the password field starts with
};

// The reader's questions put to ui.
ReadRequest ReadRequestFor(const UserReadRequest& request);
// The writer's question and slow work put to ui.
WriteRequest WriteRequestFor(IUserAnswers& ui);

// ReadDataFile, then its messages shown through ui.
ReadResult ReadDataFileWithUser(std::span<const std::uint8_t> data, const UserReadRequest& request);
// BuildDataFile, then its messages shown through ui; nothing when nothing is to be written.
std::optional<std::vector<std::uint8_t>> BuildDataFileWithUser(const CCardCollection& cards,
                                                               FileCipherState& state,
                                                               IUserAnswers& ui);

}  // namespace tessaline
