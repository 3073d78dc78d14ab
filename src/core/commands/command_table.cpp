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
    if (!command.keys[0].empty())
        text.append("\t").append(command.keys[0]);
    return text;
}

std::ostream& operator<<(std::ostream& out, CommandId id) {
    return out << ToInt(id);
}

}  // namespace tessaline
