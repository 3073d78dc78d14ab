#include "gui/app/frame_icons.h"

#include <QtGlobal>

#include "core/commands/command_ids.h"

// The resource file is linked from a static library, so it has to be registered by hand.
static void InitTessalineResource() {
    Q_INIT_RESOURCE(tessaline);
}

namespace tessaline {

const char* ToolbarIconPath(int command) {
    switch (command) {
        case kCmdFileNew:
            return ":/icons/new.svg";
        case kCmdFileOpen:
            return ":/icons/open.svg";
        case kCmdFileSave:
            return ":/icons/save.svg";
        case kCmdSetPassword:
            return ":/icons/set_password.svg";
        case kCmdToolCopyPassword:
            return ":/icons/copy_password.svg";
        case kCmdFilePrint:
            return ":/icons/print.svg";
        case kCmdToolLaunchBrowser:
            return ":/icons/launch_browser.svg";
        case kCmdToolLoadWebPage:
            return ":/icons/load_web_page.svg";
        case kCmdToolGetWebPage:
            return ":/icons/get_web_page.svg";
        case kCmdFillLogin:
            return ":/icons/fill_login.svg";
        case kCmdToolAddCard:
            return ":/icons/add_card.svg";
        case kCmdToolDeleteCard:
            return ":/icons/delete_card.svg";
        case kCmdToolUpdateCard:
            return ":/icons/update_card.svg";
        case kCmdOnlineDocumentation:
            return ":/icons/read_help.svg";
        case kCmdAppAbout:
            return ":/icons/about.svg";
        default:
            return nullptr;
    }
}

void InitFrameResources() {
    static const bool done = [] {
        InitTessalineResource();
        return true;
    }();
    (void)done;
}

}  // namespace tessaline
