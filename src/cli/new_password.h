#pragma once
// Choosing a new file password: typed twice on a terminal (once from a script), then held to the
// rules every new password meets (both entries equal, at least eight characters).

#include <string>

namespace tessaline::cli {

struct CliContext;

// Asks for the new password and its repetition. On success the password is in password;
// otherwise the user has been told why and password is left empty.
bool AskNewPassword(CliContext& ctx, std::string& password);

}  // namespace tessaline::cli
