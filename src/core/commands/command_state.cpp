#include "core/commands/command_state.h"

#include "core/commands/command_table.h"

namespace tessaline {

bool IsCommandEnabled(CommandId command, const CommandContext& context) {
    const CommandInfo* info = FindCommand(command);
    return info != nullptr && info->enabled != nullptr && info->enabled(context);
}

bool IsCommandAllowedWhileLocked(CommandId command) {
    const CommandInfo* info = FindCommand(command);
    return info != nullptr && info->whileLocked;
}

std::vector<Accelerator> AcceleratorTable() {
    std::vector<Accelerator> out;
    for (const CommandInfo& info : AllCommands()) {
        for (std::string_view keys : info.keys) {
            if (!keys.empty())
                out.push_back(Accelerator{keys, info.id});
        }
    }
    return out;
}

}  // namespace tessaline
