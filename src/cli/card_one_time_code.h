#pragma once
// What "tessaline-cli totp" says about a card of an opened file: its current one-time
// code, or why there is none.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaline {
class CCardCollection;
}

namespace tessaline::cli {

struct CardCodeAnswer {
    int status = 0;     // the program's exit status
    std::string out;    // for the standard output: the code and a line end
    std::string error;  // for the error stream, without the program's name
};

// The code of the one card named name at unixSeconds. No such card or no usable secret
// fails (1); several cards of that name are a question the user must settle (2), and
// the error lists them by category and user ID.
CardCodeAnswer CardOneTimeCode(const CCardCollection& cards, std::string_view name,
                               std::int64_t unixSeconds);

}  // namespace tessaline::cli
