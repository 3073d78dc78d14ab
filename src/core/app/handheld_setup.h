#pragma once
// The one-time set-up of a data file in the handheld user's folder, offered at start-up:
// "Tessaline/My passwords.tse" there is opened when it exists, and otherwise created
// on request, encrypted with a password the user types.

#include <optional>
#include <string>

namespace tessaline {

class IHandheldUsers;
class IUserAnswers;

// What the set-up asks of the main window.
class IHandheldSetupHost {
public:
    virtual ~IHandheldSetupHost() = default;
    // Opens a data file as a document (it enters the recent-file list).
    virtual void OpenDocumentFile(const std::string& path) = 0;
    // The password dialog in its handheld wording. nullopt = Cancel.
    virtual std::optional<std::string> AskHandheldPassword() = 0;
    // Offers every modified document for saving; false when the user cancelled.
    virtual bool SaveAllModified() = 0;
    virtual void CloseAllDocuments() = 0;
    // A new document, titled with path, written to path encrypted under password.
    // false when there is no document to write.
    virtual bool CreateHandheldDocument(const std::string& path, const std::string& password) = 0;
};

inline constexpr const char* kHandheldFolderName = "Tessaline";
inline constexpr const char* kHandheldFileName = "My passwords.tse";

enum class HandheldSetupResult {
    NoHandheldUser,
    FolderNotCreated,
    OpenedExisting,
    Declined,
    PasswordCancelled,
    EmptyPassword,
    SavingCancelled,
    NoDocument,
    Created,
};

HandheldSetupResult RunHandheldSetup(IHandheldUsers& users, IUserAnswers& ui,
                                     IHandheldSetupHost& host);

}  // namespace tessaline
