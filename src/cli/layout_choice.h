#pragma once
// Which encrypted layout a file written by the command line gets, and the key settings of
// a seal: from --sealed / --compatible, --kdf-ops and --kdf-memory, else the command's own
// default.

namespace tessaline {
struct FileCipherState;
}

namespace tessaline::cli {

struct CliRequest;

// Sets cipher.sealed and, for a seal, cipher.seal. A file that was sealed keeps its key
// settings unless options change them; any other file is sealed with the defaults.
void ApplyLayoutChoice(const CliRequest& request, bool sealedByDefault, FileCipherState& cipher);

}  // namespace tessaline::cli
