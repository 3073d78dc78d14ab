#pragma once
// What "tessaline-cli totp" says about the card it was given: its current one-time code, or
// why there is none.

#include <cstdint>
#include <string>

namespace tessaline {
class CCard;
}

namespace tessaline::cli {

struct CardCodeAnswer {
    int status = 0;     // the program's exit status
    std::string out;    // for the standard output: the code and a line end
    std::string error;  // for the error stream, without the program's name
};

// The card's code at unixSeconds; a card without a usable secret fails (1).
CardCodeAnswer CardOneTimeCode(const CCard& card, std::int64_t unixSeconds);

}  // namespace tessaline::cli
