// tessaline-cli: reads, exports, imports and re-keys data files and makes passwords,
// on the same core as the desktop program.

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/run_cli.h"
#include "core/platform/process_hardening.h"

int main(int argc, char** argv) {
    // Before any password or card is read: no other process may dump or trace this one.
    tessaline::HardenProcessAgainstDumps();
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    int status = tessaline::cli::RunCli(args, std::cout, std::cerr);
    // Output that could not be written (a full disk, a closed pipe) is a failure, not success.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << tessaline::cli::kProgramName << ": the output could not be written\n";
        if (status == tessaline::cli::kExitOk)
            status = tessaline::cli::kExitFailed;
    }
    return status;
}
