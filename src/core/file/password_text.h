#pragma once
// A typed password and the bytes that key a data file. Both programs turn what the user
// typed into key bytes here, by the rule for all typed text: Windows-1252 when every
// character fits, else UTF-8. So the same password opens a file in the desktop program and
// on the command line alike.

#include <string>
#include <string_view>
#include <vector>

namespace tessaline {

// The key bytes for a password typed as UTF-8 text (a Qt string's UTF-8, a terminal's
// bytes). Bytes that are not UTF-8 are taken as they stand.
std::string PasswordBytesFromTyped(std::string_view typedUtf8);

// The byte forms to try when opening a file with the key bytes entered: those bytes, then,
// when they stand for non-ASCII characters, the same characters as UTF-8 (files keyed by
// programs that use UTF-8). Never more than two, never two equal.
std::vector<std::string> PasswordFormsToTry(std::string_view entered);

// A zero byte ends a password for every other reader of the format, so none is accepted.
bool HasZeroByte(std::string_view password);

}  // namespace tessaline
