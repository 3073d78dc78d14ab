// Tessaline: keeps passwords, logins and other secrets as cards.

#include <cstdio>
#include <string>
#include <vector>

#include "core/app/startup.h"
#include "core/platform/process_hardening.h"
#include "core/views/print_command_line.h"
#include "gui/app/tessaline_app.h"

namespace {

constexpr const char* kPrintSwitchHelp =
    "  --print FILE               print FILE on the default printer and end\n"
    "  --print-to FILE PRINTER    print FILE on PRINTER and end; a PRINTER name\n"
    "                             ending in .pdf prints into that PDF file\n";

void ShowHelp(const std::string& program, std::FILE* out) {
    std::fputs(tessaline::CommandLineHelp(program).c_str(), out);
    std::fputs(kPrintSwitchHelp, out);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tessaline;
    // Before any password or card is read: no other process may dump or trace this one.
    HardenProcessAgainstDumps();
    const std::string program = argc > 0 ? std::string(argv[0]) : std::string("tessaline");
    // --help needs no display, so it is answered before the windowing system is asked for.
    if (ParseCommandLine(std::vector<std::string>(argv, argv + argc)).showHelp) {
        ShowHelp(program, stdout);
        return 0;
    }
    // The application takes its own options (-platform, -style, ...) out of argv.
    CTessalineApp app(argc, argv);
    const std::vector<std::string> args(argv, argv + argc);

    // The print switches print a file and end; the window never opens.
    const PrintSwitchResult print = ParsePrintSwitches(args);
    if (!print.error.empty()) {
        std::fprintf(stderr, "%s: %s\n\n", program.c_str(), print.error.c_str());
        ShowHelp(program, stderr);
        return 2;
    }
    if (print.request) {
        const CommandLinePrint printed = app.PrintFromCommandLine(*print.request);
        // A file read only in part prints what was read, and still ends in failure.
        if (!printed.damage.empty())
            std::fprintf(stderr, "%s: %s\n", program.c_str(), printed.damage.c_str());
        if (!printed.printed) {
            std::fprintf(stderr, "%s: nothing was printed from %s\n", program.c_str(),
                         print.request->file.c_str());
        }
        return printed.printed && printed.damage.empty() ? 0 : 1;
    }

    const StartupOptions options = ParseCommandLine(args);
    if (!options.unknownOptions.empty()) {
        std::fprintf(stderr, "%s: unknown option %s\n\n", program.c_str(),
                     options.unknownOptions.front().c_str());
        ShowHelp(program, stderr);
        return 2;
    }
    // A second start hands its files to the running program and ends.
    if (app.HandOffToRunningProgram(options))
        return 0;
    if (!app.InitInstance(options))
        return 1;
    return CTessalineApp::exec();
}
