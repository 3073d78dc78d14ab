#include "core/browser/browser_command_state.h"

#include "core/commands/command_ids.h"

namespace tessaline {

bool IsBrowserCommand(CommandId command) {
    switch (command) {
        case CommandId::LaunchWww:
        case CommandId::ToolLaunchBrowser:
        case CommandId::LaunchEmail:
        case CommandId::LaunchLogin:
        case CommandId::LaunchNews:
        case CommandId::LaunchFtp:
        case CommandId::LoadWebPage:
        case CommandId::ToolLoadWebPage:
        case CommandId::GetWebPage:
        case CommandId::ToolGetWebPage:
        case CommandId::FillLogin:
        case CommandId::OnlineDocumentation:
        case CommandId::HelpReader:
        case CommandId::HomePage:
            return true;
        default:
            return false;
    }
}

bool IsBrowserCommandEnabled(CommandId command, const CommandContext& c) {
    return IsBrowserCommand(command) && IsCommandEnabled(command, c);
}

}  // namespace tessaline
