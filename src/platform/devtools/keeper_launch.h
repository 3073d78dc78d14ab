#pragma once
// Starting the browser keeper detached from Tessaline: in a session of its own, not our
// child, with no file of ours open in it and its output thrown away, so that the
// browser and its keeper outlive Tessaline.

#include <sys/types.h>

#include <string>
#include <vector>

namespace tessaline::devtools {

// Runs `keeper` with `socketPath`, then `browserCommand` (program and arguments) as its
// arguments. Gives the keeper's pid, or -1 when it could not be started.
pid_t StartKeeperDetached(const std::string& keeper, const std::string& socketPath,
                          const std::vector<std::string>& browserCommand);

}  // namespace tessaline::devtools
