#pragma once
// The command line's print switches: "--print FILE" prints FILE on the default printer,
// "--print-to FILE PRINTER" on the named printer (a name ending in ".pdf" is a PDF file);
// the program then ends.

#include <optional>
#include <string>
#include <vector>

namespace tessaline {

struct PrintSwitch {
    std::string file;
    std::string printer;  // empty: the default printer
};

struct PrintSwitchResult {
    std::optional<PrintSwitch> request;  // nothing: no print switch given
    std::string error;                   // a switch without its file or printer
};

// args[0] is the program.
PrintSwitchResult ParsePrintSwitches(const std::vector<std::string>& args);

}  // namespace tessaline
