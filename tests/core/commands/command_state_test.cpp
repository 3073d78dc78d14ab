// Which commands can be chosen in which state of the window, and the consistency of the
// command tables the menus, toolbar and accelerators are built from.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "core/commands/command_table.h"
#include "core/commands/menu_layout.h"
#include "core/commands/undo_menu_text.h"

namespace tessaline {
namespace {

CommandContext NoDocument(int recent = 0) {
    CommandContext c;
    c.recentFileCount = recent;
    return c;
}

CommandContext Document(bool withCards) {
    CommandContext c;
    c.hasDocument = true;
    c.hasView = true;
    c.documentHasCards = withCards;
    return c;
}

TEST(CommandStateTest, DocumentCommandsNeedStoredCards) {
    const struct {
        CommandId command;
        bool noDocument, emptyDocument, documentWithCards;
    } cases[] = {
        {CommandId::FileNew, true, true, true},
        {CommandId::FileOpen, true, true, true},
        {CommandId::AppExit, true, true, true},
        {CommandId::FileClose, false, true, true},
        {CommandId::WindowArrange, false, true, true},
        {CommandId::FileSave, false, false, true},
        {CommandId::FileSaveAs, false, false, true},
        {CommandId::EncryptOnSave, false, false, true},
        {CommandId::SetPassword, false, false, true},
        {CommandId::EditFind, false, false, true},
        // The application's printer set-up while no document is open.
        {CommandId::FilePrintSetup, true, false, true},
        // F6 and Shift+F6 move between the category bar and the card list.
        {CommandId::NextPane, false, true, true},
        {CommandId::PrevPane, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(IsCommandEnabled(c.command, NoDocument()), c.noDocument);
        EXPECT_EQ(IsCommandEnabled(c.command, Document(false)), c.emptyDocument);
        EXPECT_EQ(IsCommandEnabled(c.command, Document(true)), c.documentWithCards);
    }
}

TEST(CommandStateTest, RecentFileEntriesFollowTheListLength) {
    for (int count = 0; count <= 4; ++count) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(IsCommandEnabled(RecentFileCommand(i), NoDocument(count)), i < count)
                << "entry " << i << " of " << count;
        }
    }
}

TEST(CommandStateTest, EditCommandsFollowTheFocusedField) {
    TextFieldState plain;
    plain.focused = true;
    plain.canUndo = true;
    plain.hasSelectedText = true;
    plain.clipboardHasText = true;
    TextFieldState readOnly = plain;
    readOnly.readOnly = true;
    TextFieldState masked = plain;
    masked.masked = true;
    TextFieldState nothingSelected = plain;
    nothingSelected.hasSelectedText = false;
    nothingSelected.clipboardHasText = false;
    nothingSelected.canUndo = false;
    const struct {
        const char* name;
        TextFieldState field;
        bool undo, cut, copy, paste;
    } cases[] = {
        {"no field", TextFieldState{}, false, false, false, false},
        {"plain field", plain, true, true, true, true},
        {"read-only field", readOnly, false, false, true, false},
        {"password field", masked, true, false, false, true},
        {"nothing selected, empty clipboard", nothingSelected, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandContext context = Document(true);
        context.textField = c.field;
        // A text field with the keys copies its own text, whatever the card list holds.
        context.hasView = true;
        context.hasSelectedCard = true;
        EXPECT_EQ(IsCommandEnabled(CommandId::EditUndo, context), c.undo);
        EXPECT_EQ(IsCommandEnabled(CommandId::EditCut, context), c.cut);
        EXPECT_EQ(IsCommandEnabled(CommandId::EditCopy, context), c.copy);
        EXPECT_EQ(IsCommandEnabled(CommandId::EditPaste, context), c.paste);
    }
}

// Undo and Redo belong to the focused text field while one has the keys, else to the
// document's card changes; their menu texts name the document's action only then.
TEST(CommandStateTest, UndoAndRedoFollowTheFieldOrTheDocument) {
    TextFieldState typed;
    typed.focused = true;
    typed.canUndo = true;
    TextFieldState untouched;
    untouched.focused = true;
    const struct {
        const char* name;
        TextFieldState field;
        const char* undoAction;
        const char* redoAction;
        bool locked;
        bool undo, redo;
        const char* undoText;
        const char* redoText;
    } cases[] = {
        {"nothing done", {}, "", "", false, false, false, "&Undo\tCtrl+Z", "&Redo\tCtrl+Shift+Z"},
        {"a card deleted",
         {},
         "Delete Card \"Bank\"",
         "",
         false,
         true,
         false,
         "&Undo Delete Card \"Bank\"\tCtrl+Z",
         "&Redo\tCtrl+Shift+Z"},
        {"undone",
         {},
         "",
         "Delete Card \"A&B\"",
         false,
         false,
         true,
         "&Undo\tCtrl+Z",
         "&Redo Delete Card \"A&&B\"\tCtrl+Shift+Z"},
        {"locked",
         {},
         "Delete Card \"Bank\"",
         "New Card \"x\"",
         true,
         false,
         false,
         "&Undo Delete Card \"Bank\"\tCtrl+Z",
         "&Redo New Card \"x\"\tCtrl+Shift+Z"},
        {"typing in a field", typed, "Delete Card \"Bank\"", "", false, true, false,
         "&Undo\tCtrl+Z", "&Redo\tCtrl+Shift+Z"},
        {"untouched field", untouched, "Delete Card \"Bank\"", "New Card \"x\"", false, false,
         false, "&Undo\tCtrl+Z", "&Redo\tCtrl+Shift+Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CommandContext context = Document(true);
        context.textField = c.field;
        context.undoAction = c.undoAction;
        context.redoAction = c.redoAction;
        context.documentLocked = c.locked;
        EXPECT_EQ(IsCommandEnabled(CommandId::EditUndo, context), c.undo);
        EXPECT_EQ(IsCommandEnabled(CommandId::EditRedo, context), c.redo);
        EXPECT_EQ(UndoRedoMenuText(CommandId::EditUndo, context), c.undoText);
        EXPECT_EQ(UndoRedoMenuText(CommandId::EditRedo, context), c.redoText);
    }
}

// Ctrl+C in the card list copies the selected card's password.
TEST(CommandStateTest, CopyInTheCardListNeedsASelectedCard) {
    const struct {
        bool listFocused, selected;
        bool copy;
    } cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const auto& c : cases) {
        CommandContext context = Document(true);
        context.hasView = true;
        context.cardListFocused = c.listFocused;
        context.hasSelectedCard = c.selected;
        EXPECT_EQ(IsCommandEnabled(CommandId::EditCopy, context), c.copy)
            << c.listFocused << c.selected;
    }
}

TEST(CommandStateTest, AcceleratorKeysAreUniqueAndNameKnownCommands) {
    std::set<std::string> keys;
    for (const Accelerator& a : AcceleratorTable()) {
        EXPECT_TRUE(keys.insert(std::string(a.keys)).second) << a.keys;
        EXPECT_NE(FindCommand(a.command), nullptr) << a.keys;
    }
}

// The keys of the main window, each with its command, and no others.
TEST(CommandStateTest, AcceleratorTableHoldsTheWindowsKeys) {
    const std::set<std::pair<std::string, int>> expected{
        {"Ctrl+C", 57634},       {"Alt+C", 32811},  {"Ctrl+D", 32809},
        {"Ctrl+E", 32814},       {"Ctrl+F", 57636}, {"Alt+G", 32810},
        {"Ctrl+N", 32808},       {"Alt+N", 57600},  {"Ctrl+O", 57601},
        {"Ctrl+P", 57607},       {"Alt+P", 32827},  {"Ctrl+S", 57603},
        {"Alt+S", 32828},        {"Ctrl+V", 57637}, {"Alt+Backspace", 57643},
        {"Shift+Del", 57635},    {"F6", 57680},     {"Shift+F6", 57681},
        {"Shift+Ins", 57637},    {"Alt+W", 32820},  {"Ctrl+X", 57635},
        {"Ctrl+Z", 57643},       {"Ctrl+L", 32840}, {"Ctrl+Shift+L", 32844},
        {"Ctrl+Shift+Z", 57644}, {"Ctrl+T", 32864}, {"Ctrl+B", 147},
        {"Ctrl+U", 32865},       {"Ctrl+Shift+U", 32866},
    };
    std::set<std::pair<std::string, int>> actual;
    for (const Accelerator& a : AcceleratorTable())
        actual.emplace(std::string(a.keys), ToInt(a.command));
    EXPECT_EQ(actual, expected);
}

// Exactly these commands can be chosen while the active document is locked.
TEST(CommandStateTest, CommandsAllowedWhileLockedAreTheOnesThatNeedNoCards) {
    const std::set<CommandId> allowed{CommandId::FileNew,
                                      CommandId::FileOpen,
                                      CommandId::FileClose,
                                      CommandId::FileLock,
                                      CommandId::FilePrintSetup,
                                      CommandId::FileMru1,
                                      CommandId::FileMru2,
                                      CommandId::FileMru3,
                                      CommandId::FileMru4,
                                      CommandId::AppExit,
                                      CommandId::EditUndo,
                                      CommandId::EditRedo,
                                      CommandId::EditCut,
                                      CommandId::EditCopy,
                                      CommandId::EditPaste,
                                      CommandId::GeneratePassword,
                                      CommandId::Preferences,
                                      CommandId::LaunchWww,
                                      CommandId::ToolLaunchBrowser,
                                      CommandId::LaunchEmail,
                                      CommandId::LaunchLogin,
                                      CommandId::LaunchNews,
                                      CommandId::LaunchFtp,
                                      CommandId::ViewToolbar,
                                      CommandId::ViewStatusBar,
                                      CommandId::WindowArrange,
                                      CommandId::NextPane,
                                      CommandId::PrevPane,
                                      CommandId::OnlineDocumentation,
                                      CommandId::HelpReader,
                                      CommandId::HomePage,
                                      CommandId::AppAbout};
    for (const CommandInfo& info : AllCommands())
        EXPECT_EQ(IsCommandAllowedWhileLocked(info.id), allowed.contains(info.id)) << info.id;
    EXPECT_FALSE(IsCommandAllowedWhileLocked(CommandId::None));
}

// The menu shows the label and, after a tab, the first of the command's keys.
TEST(CommandStateTest, MenuTextsShowTheFirstAccelerator) {
    const struct {
        CommandId command;
        const char* text;
    } cases[] = {
        {CommandId::FileOpen, "&Open...\tCtrl+O"},
        {CommandId::EditUndo, "&Undo\tCtrl+Z"},
        {CommandId::EditCut, "Cu&t\tCtrl+X"},
        {CommandId::EditPaste, "&Paste\tCtrl+V"},
        {CommandId::PrevPane, "Previous Pane\tShift+F6"},
        {CommandId::FileSaveAs, "Save &As..."},
        {CommandId::ToolCopyPassword, "Copy Password"},
        {CommandId::CopyPassword, "Copy Password\tAlt+C"},
        {CommandId::UsePasswordToOpen, "Use Password To Open .tse File"},
        {CommandId::CopyUserId, "Copy User ID\tCtrl+B"},
        // Edit > Copy's key copies the password in the card list: the Card menu shows it.
        {CommandId::CopyPasswordItem, "Copy Password\tCtrl+C"},
        {CommandId::CopyAddress, "Copy Address\tCtrl+U"},
        {CommandId::OpenAddress, "Open Address\tCtrl+Shift+U"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MenuText(*FindCommand(c.command)), c.text) << c.command;
}

// Every record has a rule, and the records of the toolbar's buttons name their picture.
TEST(CommandStateTest, EveryRecordHasARuleAndEveryButtonAPicture) {
    for (const CommandInfo& info : AllCommands()) {
        EXPECT_NE(info.enabled, nullptr) << info.id;
        EXPECT_EQ(info.toolTip.empty(), info.icon.empty()) << info.id;
    }
    EXPECT_EQ(FindCommand(CommandId::None), nullptr);
    EXPECT_FALSE(IsCommandEnabled(CommandId::None, Document(true)));
    EXPECT_EQ(FindCommand(CommandId::FileNew)->icon, "new");
    EXPECT_EQ(FindCommand(CommandId::ToolDeleteCard)->icon, "delete_card");
}

// Every menu entry and toolbar button names a command with a text to show; each
// command's text appears once.
TEST(CommandStateTest, MenusAndToolbarNameCommandsWithTexts) {
    std::set<CommandId> seen;
    for (const CommandInfo& t : AllCommands())
        EXPECT_TRUE(seen.insert(t.id).second) << t.id;

    auto check = [](std::span<const MenuEntry> entries, auto& self) -> void {
        for (const MenuEntry& e : entries) {
            if (e.kind == MenuEntryKind::Command) {
                const CommandInfo* t = FindCommand(e.command);
                ASSERT_NE(t, nullptr) << e.command;
                EXPECT_FALSE(t->label.empty()) << e.command;
            } else if (e.kind == MenuEntryKind::SubMenu) {
                EXPECT_FALSE(e.text.empty());
                self(e.children, self);
            }
        }
    };
    for (bool haveDocument : {false, true}) {
        for (const MenuDefinition& menu : MenuBarLayout(haveDocument))
            check(menu.entries, check);
    }
    check(CardContextMenuLayout(), check);
    for (CommandId id : ToolbarLayout()) {
        if (id == CommandId::None)
            continue;
        const CommandInfo* t = FindCommand(id);
        ASSERT_NE(t, nullptr) << id;
        EXPECT_FALSE(t->toolTip.empty()) << id;
    }
}

}  // namespace
}  // namespace tessaline
