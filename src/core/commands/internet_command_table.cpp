#include <array>

#include "core/commands/command_rules.h"
#include "core/commands/command_table.h"

namespace tessaline {

namespace {

using namespace command_rules;
using enum CommandId;

// The launchers start their program whatever the window shows.
constexpr CommandInfo Launcher(CommandId id, std::string_view text, std::string_view prompt) {
    return Command(id, text, prompt, Always).WhileLocked();
}

constexpr std::array kInternetCommands{
    Launcher(LaunchWww, "Launch WWW", "Start the web browser"),
    Command(ToolLaunchBrowser, "Launch web browser", "", Always)
        .Tip("Launch web browser")
        .Icon("launch_browser")
        .WhileLocked(),
    Launcher(LaunchEmail, "Launch E-Mail", "Start the e-mail program"),
    Launcher(LaunchLogin, "Launch Login", "Start the login program"),
    Launcher(LaunchNews, "Launch News", "Start the news reader"),
    Launcher(LaunchFtp, "Launch FTP", "Start the FTP program"),
    Command(LoadWebPage, "Load Web Page", "Load Web page into Browser", Always),
    Command(ToolLoadWebPage, "Load Web Page", "Load Web page into Browser",
            DocumentListHasSelection)
        .Tip("Load Web Page")
        .Icon("load_web_page"),
    Command(GetWebPage, "Get Web Page", "Get Web page from Browser", Always).Keys("Alt+W"),
    Command(ToolGetWebPage, "Get Web Page", "Get Web page from Browser", DocumentHasList)
        .Tip("Get Web Page")
        .Icon("get_web_page"),
    Command(FillLogin, "Fill Login", "Fill the login of the matching card into the Browser's page",
            DocumentHasList)
        .Keys("Ctrl+Shift+L")
        .Tip("Fill Login")
        .Icon("fill_login"),
};

}  // namespace

std::span<const CommandInfo> InternetCommandTable() {
    return kInternetCommands;
}

}  // namespace tessaline
