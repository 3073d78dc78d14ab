// Which commands can be chosen in which state of the window, and the consistency of the
// command tables the menus, toolbar and accelerators are built from.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "core/commands/command_texts.h"
#include "core/commands/menu_layout.h"

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
        int command;
        bool noDocument, emptyDocument, documentWithCards;
    } cases[] = {
        {kCmdFileNew, true, true, true},
        {kCmdFileOpen, true, true, true},
        {kCmdAppExit, true, true, true},
        {kCmdFileClose, false, true, true},
        {kCmdWindowArrange, false, true, true},
        {kCmdFileSave, false, false, true},
        {kCmdFileSaveAs, false, false, true},
        {kCmdEncryptOnSave, false, false, true},
        {kCmdSetPassword, false, false, true},
        {kCmdEditFind, false, false, true},
        // The application's printer set-up while no document is open.
        {kCmdFilePrintSetup, true, false, true},
        // A child window has one pane only: nothing to switch to.
        {kCmdNextPane, false, false, false},
        {kCmdPrevPane, false, false, false},
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
            EXPECT_EQ(IsCommandEnabled(kCmdFileMru1 + i, NoDocument(count)), i < count)
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
        EXPECT_EQ(IsCommandEnabled(kCmdEditUndo, context), c.undo);
        EXPECT_EQ(IsCommandEnabled(kCmdEditCut, context), c.cut);
        EXPECT_EQ(IsCommandEnabled(kCmdEditCopy, context), c.copy);
        EXPECT_EQ(IsCommandEnabled(kCmdEditPaste, context), c.paste);
    }
}

TEST(CommandStateTest, AcceleratorKeysAreUniqueAndNameKnownCommands) {
    std::set<std::string> keys;
    for (const Accelerator& a : kAcceleratorTable) {
        EXPECT_TRUE(keys.insert(std::string(a.keys)).second) << a.keys;
        EXPECT_NE(FindCommandText(a.command), nullptr) << a.keys;
    }
}

// Every menu entry and toolbar button names a command with a text to show; each
// command's text appears once.
TEST(CommandStateTest, MenusAndToolbarNameCommandsWithTexts) {
    std::set<int> seen;
    for (const CommandText& t : AllCommandTexts())
        EXPECT_TRUE(seen.insert(t.command).second) << t.command;

    auto check = [](std::span<const MenuEntry> entries, auto& self) -> void {
        for (const MenuEntry& e : entries) {
            if (e.kind == MenuEntryKind::Command) {
                const CommandText* t = FindCommandText(e.command);
                ASSERT_NE(t, nullptr) << e.command;
                EXPECT_FALSE(t->menuText.empty()) << e.command;
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
    for (int id : ToolbarLayout()) {
        if (id == 0)
            continue;
        const CommandText* t = FindCommandText(id);
        ASSERT_NE(t, nullptr) << id;
        EXPECT_FALSE(t->toolTip.empty()) << id;
    }
}

}  // namespace
}  // namespace tessaline
