#pragma once
// The folder that holds the DDE sockets of one user.

#include <optional>
#include <string>

namespace tessaline::dde {

// Where the sockets live: $TESSALINE_DDE_FOLDER, else $XDG_RUNTIME_DIR/tessaline-dde,
// else tessaline-dde in the user's cache folder ($XDG_CACHE_HOME, else ~/.cache); empty
// when there is no home folder either.
std::string SocketFolderPath();

// Makes sure the folder exists, is a real folder (not a link), belongs to this user and
// only this user can open it (mode 0700; wider modes of our own folder are narrowed).
// Gives its path, or none when that cannot be had.
std::optional<std::string> EnsurePrivateSocketFolder();

}  // namespace tessaline::dde
