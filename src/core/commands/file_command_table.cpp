#include <array>

#include "core/commands/command_rules.h"
#include "core/commands/command_table.h"

namespace tessaline {

namespace {

using namespace command_rules;
using enum CommandId;

constexpr std::array kFileCommands{
    Command(FileNew, "&New", "Create a new document", Always)
        .Tip("New")
        .Keys("Alt+N")
        .Icon("new")
        .WhileLocked(),
    Command(FileOpen, "&Open...", "Open an existing document", Always)
        .Tip("Open")
        .Keys("Ctrl+O")
        .Icon("open")
        .WhileLocked(),
    Command(FileClose, "&Close", "Close the active document", HasDocument).WhileLocked(),
    Command(FileSave, "&Save", "Save the active document", DocumentHasCards)
        .Tip("Save")
        .Keys("Ctrl+S")
        .Icon("save"),
    Command(FileSaveAs, "Save &As...", "Save the active document with a new name",
            DocumentHasCards),
    Command(EncryptOnSave, "Encrypt On &Save...", "Set the password for File Encryption",
            DocumentHasCards)
        .Keys("Alt+S"),
    Command(SetPassword, "Set Pass&word...", "Set the password for File Encryption",
            DocumentHasCards)
        .Tip("Set Password")
        .Icon("set_password"),
    Command(FileProperties, "Prop&erties...", "Change the settings kept in the data file",
            HasUnlockedDocument),
    Command(EmptyRecycleBin, "Empty Recycle &Bin...",
            "Delete every card in the recycle bin for good", HasRecycledCards),
    Command(ExportToText, "Export To Text...", "Export all cards to a text file", DocumentHasCards),
    // Into the active document, or a new one.
    Command(FileImportCsv, "&Import...", "Add the cards of another password manager's CSV export",
            Always),
    Command(FilePrint, "&Print...", "Print the active document", ListHasCards)
        .Tip("Print")
        .Keys("Ctrl+P")
        .Icon("print"),
    Command(PrintPreview, "Print Pre&view", "Display full pages", ListHasCards),
    Command(FilePrintSetup, "P&rint Setup...", "Change the printer and printing options",
            PrintSetup)
        .WhileLocked(),
    // The recent-file entries take their texts from the list.
    Command(FileMru1, "", kRecentFilePrompt, RecentEntry<0>).WhileLocked(),
    Command(FileMru2, "", kRecentFilePrompt, RecentEntry<1>).WhileLocked(),
    Command(FileMru3, "", kRecentFilePrompt, RecentEntry<2>).WhileLocked(),
    Command(FileMru4, "", kRecentFilePrompt, RecentEntry<3>).WhileLocked(),
    Command(AppExit, "E&xit", "Quit the application; prompts to save documents", Always)
        .WhileLocked(),
    Command(FileLock, "&Lock", "Lock the encrypted files until their password is typed",
            AnyLockable)
        .Keys("Ctrl+L")
        .WhileLocked(),
};

}  // namespace

std::span<const CommandInfo> FileCommandTable() {
    return kFileCommands;
}

}  // namespace tessaline
