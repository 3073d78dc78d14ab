#pragma once
// The one way a command is carried out. Each command group binds its work to a command
// id once; the menus, the toolbar, the accelerators, the card list's context menu and the
// welcome panel all hand the id to the window, which asks here whether it can run now and
// runs the bound work.

#include <functional>
#include <map>
#include <vector>

#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"

namespace tessaline {

class CommandRouter {
public:
    using Work = std::function<void()>;
    using Rule = std::function<bool(const CommandContext&)>;
    using Facts = std::function<void(CommandContext&)>;

    // bound runs after every binding (the window shows what became available).
    explicit CommandRouter(std::function<void()> bound = {});

    // Gives a command its work; a later binding replaces an earlier one. rule, when given,
    // decides instead of the command's record.
    void Bind(CommandId command, Work work, Rule rule = {});
    // Binds a member of a command group (its result, if any, is not used).
    template <class Group, class Owner, class Result>
    void Bind(CommandId command, Group* group, Result (Owner::*work)()) {
        Bind(command, [group, work] { (group->*work)(); });
    }
    // Binds a member that serves several commands and is told which one ran.
    template <class Group, class Owner>
    void Bind(CommandId command, Group* group, void (Owner::*work)(CommandId)) {
        Bind(command, [group, work, command] { (group->*work)(command); });
    }

    // A group that owns facts the rules read (Copy Card's card, the lockable documents)
    // adds them to every context the window gathers.
    void AddFacts(Facts facts);
    void AddFactsTo(CommandContext& context) const;

    bool IsBound(CommandId command) const;
    // Bound, allowed while the active document is locked if it is, and its rule says yes.
    bool IsEnabled(CommandId command, const CommandContext& context) const;
    // Runs the bound work; false when the command has none.
    bool Run(CommandId command) const;

private:
    struct Binding {
        Work work;
        Rule rule;
    };
    std::map<CommandId, Binding> bindings_;
    std::vector<Facts> facts_;
    std::function<void()> bound_;
};

}  // namespace tessaline
