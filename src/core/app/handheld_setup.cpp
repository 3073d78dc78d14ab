#include "core/app/handheld_setup.h"

#include <filesystem>
#include <system_error>

#include "core/platform/handheld_users.h"
#include "core/platform/user_answers.h"

namespace tessaline {

HandheldSetupResult RunHandheldSetup(IHandheldUsers& users, IUserAnswers& ui,
                                     IHandheldSetupHost& host) {
    namespace fs = std::filesystem;
    std::string name, folder;
    if (users.UserName(0, name) <= 0)
        return HandheldSetupResult::NoHandheldUser;
    if (users.UserDirectory(0, folder) <= 0)
        return HandheldSetupResult::NoHandheldUser;

    const fs::path dir = fs::path(folder) / kHandheldFolderName;
    std::error_code ec;
    fs::create_directory(dir, ec);
    if (ec && !fs::is_directory(dir)) {
        Tell(ui, "Could not create directory inside Palm user folder!");
        return HandheldSetupResult::FolderNotCreated;
    }

    const std::string file = (dir / kHandheldFileName).string();
    if (fs::exists(file, ec)) {
        host.OpenDocumentFile(file);
        return HandheldSetupResult::OpenedExisting;
    }

    const MessageRequest question{
        "Do you want to create a password file to be synchronized with your Palm device?",
        MsgCaption::System, MsgIcon::Question, MsgButtons::YesNo};
    if (ui.MessageWithCaption(question, "Create password file") != MsgAnswer::Yes)
        return HandheldSetupResult::Declined;

    std::optional<std::string> password = host.AskHandheldPassword();
    if (!password)
        return HandheldSetupResult::PasswordCancelled;
    if (password->empty()) {
        Tell(ui, "You must enter a password!");
        return HandheldSetupResult::EmptyPassword;
    }

    // Closing the open documents must not lose their changes.
    if (!host.SaveAllModified())
        return HandheldSetupResult::SavingCancelled;
    host.CloseAllDocuments();
    if (!host.CreateHandheldDocument(file, *password))
        return HandheldSetupResult::NoDocument;
    return HandheldSetupResult::Created;
}

}  // namespace tessaline
