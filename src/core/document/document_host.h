#pragma once
// What a document asks of the main frame that holds it. The desktop program's main
// frame implements it; the tests use a fake.

#include <string>

namespace tessaline {

class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;
    // The category selector's current text ("Show All", "Search Results", a category).
    virtual std::string CurrentCategoryText() const = 0;
    // Selects the first selector entry that begins with text, searching from entry 1
    // onwards and entry 0 last.
    virtual void SelectCategoryStartingWith(const std::string& text) = 0;
    // Removes "Search Results" from the selector, if it is there.
    virtual void RemoveSearchResultsEntry() = 0;
    // Starts the automatic-save minute count again.
    virtual void RestartAutoSaveTimer() = 0;
    // Shows the active document's encryption state (the child window's icon).
    virtual void ShowEncryptionState() = 0;
    // Puts a path at the top of the recent-file list.
    virtual void AddToRecentFiles(const std::string& path) = 0;
    // A note in the status bar that needs no answer.
    virtual void ShowStatusText(const std::string& text) { (void)text; }
};

}  // namespace tessaline
