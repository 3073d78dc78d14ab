#include "core/views/print_command_line.h"

namespace tessaline {

PrintSwitchResult ParsePrintSwitches(const std::vector<std::string>& args) {
    PrintSwitchResult result;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--print") {
            if (i + 1 >= args.size()) {
                result.error = "--print needs the data file to print.";
                return result;
            }
            result.request = PrintSwitch{args[i + 1], {}};
            return result;
        }
        if (args[i] == "--print-to") {
            if (i + 2 >= args.size()) {
                result.error = "--print-to needs the data file and the printer.";
                return result;
            }
            result.request = PrintSwitch{args[i + 1], args[i + 2]};
            return result;
        }
    }
    return result;
}

}  // namespace tessaline
