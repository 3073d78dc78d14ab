#include "gui/app/command_router.h"

#include <utility>

namespace tessaline {

CommandRouter::CommandRouter(std::function<void()> bound) : bound_(std::move(bound)) {}

void CommandRouter::Bind(CommandId command, Work work, Rule rule) {
    bindings_[command] = Binding{std::move(work), std::move(rule)};
    if (bound_)
        bound_();
}

void CommandRouter::AddFacts(Facts facts) {
    facts_.push_back(std::move(facts));
}

void CommandRouter::AddFactsTo(CommandContext& context) const {
    for (const Facts& facts : facts_)
        facts(context);
}

bool CommandRouter::IsBound(CommandId command) const {
    const auto it = bindings_.find(command);
    return it != bindings_.end() && it->second.work;
}

bool CommandRouter::IsEnabled(CommandId command, const CommandContext& context) const {
    const auto it = bindings_.find(command);
    if (it == bindings_.end() || !it->second.work)
        return false;
    if (context.documentLocked && !IsCommandAllowedWhileLocked(command))
        return false;
    return it->second.rule ? it->second.rule(context) : IsCommandEnabled(command, context);
}

bool CommandRouter::Run(CommandId command) const {
    const auto it = bindings_.find(command);
    if (it == bindings_.end() || !it->second.work)
        return false;
    // The work may bind commands anew: it runs from its own copy.
    const Work work = it->second.work;
    work();
    return true;
}

}  // namespace tessaline
