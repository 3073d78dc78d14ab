#include "core/commands/command_table.h"

#include <ostream>
#include <vector>

namespace tessaline {

std::span<const CommandInfo> AllCommands() {
    static const std::vector<CommandInfo> all = [] {
        std::vector<CommandInfo> out;
        for (std::span<const CommandInfo> table :
             {FileCommandTable(), EditCommandTable(), CardCommandTable(), InternetCommandTable(),
              ViewCommandTable(), HelpCommandTable()})
            out.insert(out.end(), table.begin(), table.end());
        return out;
    }();
    return all;
}

const CommandInfo* FindCommand(CommandId command) {
    for (const CommandInfo& info : AllCommands()) {
        if (info.id == command)
            return &info;
    }
    return nullptr;
}

std::string MenuText(const CommandInfo& command) {
    std::string text(command.label);
    const std::string_view keys = command.keys[0].empty() ? command.shownKeys : command.keys[0];
    if (!keys.empty())
        text.append("\t").append(keys);
    return text;
}

std::ostream& operator<<(std::ostream& out, CommandId id) {
    return out << ToInt(id);
}

}  // namespace tessaline
