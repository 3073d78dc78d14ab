#pragma once
// Everything the core needs to ask the user or tell the user. The desktop program
// answers with real message boxes and dialogs, the command-line program with its own
// prompts, and the tests with a script.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/base/message.h"

namespace tessaline {

// A file chooser. filter is in the form "Text File (*.txt)|*.txt||": pairs of a
// description and patterns separated by "|", ending in "||".
struct FileDialogRequest {
    std::string title;             // empty: the chooser's own title
    std::string defaultExtension;  // without the dot; added when the name has none
    std::string initialName;
    std::string filter;
    bool overwritePrompt = false;
    bool mustExist = false;
};
struct FileDialogAnswer {
    std::string path;
    int filterIndex = 0;  // which filter pair was chosen, from 0
};

// What the File Encryption dialog starts with. Its password entries always start empty:
// a password set before is never shown again.
struct FileEncryptionStart {
    bool encryptOnSave = false;
    // The document has a password: entries left empty with the box ticked keep it.
    bool hasPassword = false;
    // "Sealed (recommended)" rather than "Compatible with older readers".
    bool sealed = true;
};

// What the File Encryption dialog gives back on OK.
struct FileEncryptionAnswer {
    bool encryptOnSave = false;
    std::string first;
    std::string second;
    // "Sealed (recommended)" rather than "Compatible with older readers".
    bool sealed = true;
};

class IUserAnswers {
public:
    virtual ~IUserAnswers() = default;
    // Shows a message and returns the button the user chose.
    virtual MsgAnswer Message(const MessageRequest& message) = 0;
    // A message under a caption text of its own (e.g. "File Encryption"); message.caption
    // is then not used. Where no such box exists, it is shown as an ordinary message.
    virtual MsgAnswer MessageWithCaption(const MessageRequest& message,
                                         const std::string& caption) {
        (void)caption;
        return Message(message);
    }
    // The Decryption Password dialog. std::nullopt = Cancel.
    virtual std::optional<std::string> DecryptionPassword(const std::string& title,
                                                          const std::string& prefill) = 0;
    // The password dialog in its handheld wording: the password of the data file that the
    // handheld set-up creates. std::nullopt = Cancel.
    virtual std::optional<std::string> HandheldPassword() = 0;
    // The File Encryption dialog, started with the box and the layout choice, both
    // entries empty. nullopt = Cancel.
    virtual std::optional<FileEncryptionAnswer> FileEncryption(
        const FileEncryptionStart& start) = 0;
    // A question whose buttons say what they do ("Encrypt it", "Save as a.tsf", "Cancel"):
    // the index of the button chosen. The last button is Cancel, which closing the box
    // chooses too; Enter chooses defaultButton. Where no such box exists: Cancel.
    virtual std::size_t AskWithButtons(const MessageRequest& question,
                                       const std::vector<std::string>& buttons,
                                       std::size_t defaultButton) {
        (void)question;
        (void)defaultButton;
        return buttons.empty() ? 0 : buttons.size() - 1;
    }
    // File choosers. nullopt = Cancel.
    virtual std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest& request) = 0;
    // A short list to pick one entry from, under `caption` with the `prompt` above it.
    // The index of the entry chosen, or nullopt for Cancel.
    virtual std::optional<std::size_t> ChooseFromList(const std::string& caption,
                                                      const std::string& prompt,
                                                      const std::vector<std::string>& entries) {
        (void)caption;
        (void)prompt;
        (void)entries;
        return std::nullopt;
    }
    // Runs work that takes a noticeable time (deriving a key), telling the user what is
    // going on. work touches no user interface; a window may run it on another thread
    // and keep repainting meanwhile. Returns when work has ended.
    virtual void RunWhileBusy(const std::string& what, const std::function<void()>& work) {
        (void)what;
        work();
    }
};

// A user who takes every message with OK and cancels every dialog: for programs that
// never show a window (the command line, benchmarks, fuzzing), which override what
// they do answer.
class CancellingAnswers : public IUserAnswers {
public:
    MsgAnswer Message(const MessageRequest&) override { return MsgAnswer::Ok; }
    std::optional<std::string> DecryptionPassword(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> HandheldPassword() override { return std::nullopt; }
    std::optional<FileEncryptionAnswer> FileEncryption(const FileEncryptionStart&) override {
        return std::nullopt;
    }
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest&) override {
        return std::nullopt;
    }
};

// Shorthand for the plain OK boxes that the file code shows.
inline void Tell(IUserAnswers& ui, std::string text, MsgCaption caption = MsgCaption::System,
                 MsgIcon icon = MsgIcon::None) {
    ui.Message(MessageRequest{std::move(text), caption, icon, MsgButtons::Ok});
}

// Shows messages in their order.
inline void TellAll(IUserAnswers& ui, const std::vector<MessageRequest>& messages) {
    for (const MessageRequest& message : messages)
        ui.Message(message);
}

}  // namespace tessaline
