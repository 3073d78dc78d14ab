#include "core/browser/browser_command_state.h"

#include "core/commands/command_ids.h"

namespace tessaline {

bool IsBrowserCommand(int command) {
    switch (command) {
        case kCmdLaunchWww:
        case kCmdToolLaunchBrowser:
        case kCmdLaunchEmail:
        case kCmdLaunchLogin:
        case kCmdLaunchNews:
        case kCmdLaunchFtp:
        case kCmdLoadWebPage:
        case kCmdToolLoadWebPage:
        case kCmdGetWebPage:
        case kCmdToolGetWebPage:
        case kCmdFillLogin:
        case kCmdOnlineDocumentation:
        case kCmdHelpReader:
        case kCmdHomePage:
            return true;
        default:
            return false;
    }
}

bool IsBrowserCommandEnabled(int command, const CommandContext& c) {
    switch (command) {
        case kCmdToolLoadWebPage:
            return c.hasDocument && c.hasView && c.hasSelectedCard;
        case kCmdToolGetWebPage:
        case kCmdFillLogin:
            return c.hasDocument && c.hasView;
        default:
            return IsBrowserCommand(command);
    }
}

}  // namespace tessaline
