#include <array>

#include "core/commands/command_rules.h"
#include "core/commands/command_table.h"

namespace tessaline {

namespace {

using namespace command_rules;
using enum CommandId;

constexpr std::array kHelpCommands{
    Command(OnlineDocumentation, "Online Documentation", "Read Help File", Always)
        .Tip("Read Help")
        .Icon("read_help")
        .WhileLocked(),
    Command(HelpReader, "Help Reader", "Start the help reader", Always).WhileLocked(),
    Command(HomePage, "Tessaline Home Page", "Visit the Tessaline home page", Always).WhileLocked(),
    Command(AppAbout, "&About Tessaline...",
            "Display program information, version number and copyright", Always)
        .Tip("About")
        .Icon("about")
        .WhileLocked(),
};

}  // namespace

std::span<const CommandInfo> HelpCommandTable() {
    return kHelpCommands;
}

}  // namespace tessaline
