// The command router: the work bound to an id runs once per command, the record's rule
// or a given one decides, a locked document keeps to the commands that need no cards, and
// the facts groups add reach the rules.

#include <QTest>
#include <vector>

#include "core/commands/command_ids.h"
#include "gui/app/command_router.h"

using namespace tessaline;

namespace {

struct Counter {
    int runs = 0;
    std::vector<CommandId> seen;
    void Run() { ++runs; }
    int RunAndAnswer() { return ++runs; }
    void RunFor(CommandId id) { seen.push_back(id); }
};

CommandContext WithCards() {
    CommandContext c;
    c.hasDocument = true;
    c.documentHasCards = true;
    c.hasView = true;
    return c;
}

}  // namespace

class CommandRouterTest : public QObject {
    Q_OBJECT

private slots:
    void boundWorkRunsAndALaterBindingReplacesIt() {
        int bindings = 0;
        CommandRouter router([&bindings] { ++bindings; });
        Counter first;
        Counter second;
        QVERIFY(!router.IsBound(CommandId::FileSave));
        QVERIFY(!router.Run(CommandId::FileSave));

        router.Bind(CommandId::FileSave, &first, &Counter::Run);
        // A member with a result binds as well; the result is not used.
        router.Bind(CommandId::FileSaveAs, &first, &Counter::RunAndAnswer);
        QCOMPARE(bindings, 2);
        QVERIFY(router.Run(CommandId::FileSave));
        QVERIFY(router.Run(CommandId::FileSaveAs));
        QCOMPARE(first.runs, 2);

        router.Bind(CommandId::FileSave, &second, &Counter::Run);
        QVERIFY(router.Run(CommandId::FileSave));
        QCOMPARE(first.runs, 2);
        QCOMPARE(second.runs, 1);
    }

    void oneMemberServesSeveralCommandsAndIsToldWhich() {
        CommandRouter router;
        Counter group;
        for (CommandId id : {CommandId::CopyName, CommandId::CopyNote})
            router.Bind(id, &group, &Counter::RunFor);
        router.Run(CommandId::CopyNote);
        router.Run(CommandId::CopyName);
        QCOMPARE(group.seen, (std::vector<CommandId>{CommandId::CopyNote, CommandId::CopyName}));
    }

    void enabledNeedsWorkTheRuleAndTheLock() {
        CommandRouter router;
        Counter group;
        const CommandContext empty;
        const CommandContext cards = WithCards();
        CommandContext locked = cards;
        locked.documentLocked = true;

        // Without work a command is greyed, whatever its rule says.
        QVERIFY(!router.IsEnabled(CommandId::FileNew, cards));
        router.Bind(CommandId::FileNew, &group, &Counter::Run);
        router.Bind(CommandId::FileSave, &group, &Counter::Run);
        router.Bind(
            CommandId::Preferences, [&group] { group.Run(); },
            [](const CommandContext& c) { return c.hasDocument; });

        const struct {
            const char* name;
            CommandId command;
            const CommandContext& context;
            bool enabled;
        } cases[] = {
            {"New, no document", CommandId::FileNew, empty, true},
            {"Save, no document", CommandId::FileSave, empty, false},
            {"Save, cards", CommandId::FileSave, cards, true},
            // The cards are gone while the document is locked; New needs none.
            {"Save, locked", CommandId::FileSave, locked, false},
            {"New, locked", CommandId::FileNew, locked, true},
            // A given rule decides instead of the record's.
            {"Preferences by its given rule, no document", CommandId::Preferences, empty, false},
            {"Preferences by its given rule, cards", CommandId::Preferences, cards, true},
        };
        for (const auto& c : cases)
            QVERIFY2(router.IsEnabled(c.command, c.context) == c.enabled, c.name);
    }

    void factsOfTheGroupsReachTheRules() {
        CommandRouter router;
        Counter group;
        bool cardCopied = false;
        router.AddFacts([&cardCopied](CommandContext& c) { c.pasteAvailable = cardCopied; });
        router.Bind(CommandId::PasteCard, &group, &Counter::Run);
        CommandContext context = WithCards();
        router.AddFactsTo(context);
        QVERIFY(!router.IsEnabled(CommandId::PasteCard, context));
        cardCopied = true;
        router.AddFactsTo(context);
        QVERIFY(router.IsEnabled(CommandId::PasteCard, context));
    }
};

QTEST_MAIN(CommandRouterTest)
#include "command_router_test.moc"
