#pragma once
// How the reader fuzz target splits its input, shared with the seed generator.
//
// Byte 0 is the control byte: its low two bits say how the password prompt is
// answered, its high four bits pick the "Date Format" index used for the cards'
// date texts. With kAnswerFromInput, byte 1 holds a length n and the next n bytes
// are the password typed. The rest is the data file.

#include <cstdint>
#include <string_view>

namespace tessaline::fuzz {

enum Answer : std::uint8_t {
    kAnswerCancel = 0,
    kAnswerEmpty = 1,
    kAnswerFixed = 2,      // kFixedPassword
    kAnswerFromInput = 3,  // the password carried in the input
};

// The password the seed files are encrypted with, so mutations get past the check.
inline constexpr std::string_view kFixedPassword = "password1";

inline constexpr std::uint8_t ControlByte(Answer answer, int dateFormat) {
    return static_cast<std::uint8_t>((dateFormat & 0x0F) << 4 | answer);
}

}  // namespace tessaline::fuzz
