#pragma once
// The settings, the user's answers and the DDE route as a browser call sees them from a
// thread of its own: every use runs on the window's thread (BrowserCallRunner::
// OnWindowThread), where the settings are written, dialogs live and the DDE service was
// made. Used on the window's thread itself they answer directly. A call given up
// meanwhile gets what a cancelled dialog gives, an empty setting, and nothing sent.

#include "core/browser/browser_interfaces.h"
#include "core/platform/profile.h"
#include "core/platform/user_answers.h"

namespace tessaline {

class WindowThreadProfile : public IProfile {
public:
    explicit WindowThreadProfile(IProfile& profile) : profile_(profile) {}
    int GetInt(const std::string& section, const std::string& name, int def) const override;
    std::string GetText(const std::string& section, const std::string& name,
                        const std::string& def) const override;
    void WriteInt(const std::string& section, const std::string& name, int value) override;
    void WriteText(const std::string& section, const std::string& name,
                   const std::string& value) override;

private:
    IProfile& profile_;
};

class WindowThreadAnswers : public IUserAnswers {
public:
    explicit WindowThreadAnswers(IUserAnswers& ui) : ui_(ui) {}
    MsgAnswer Message(const MessageRequest& message) override;
    MsgAnswer MessageWithCaption(const MessageRequest& message,
                                 const std::string& caption) override;
    std::optional<std::string> DecryptionPassword(const std::string& title,
                                                  const std::string& prefill) override;
    std::optional<std::string> HandheldPassword() override;
    std::optional<FileEncryptionAnswer> FileEncryption(const FileEncryptionStart& start) override;
    std::size_t AskWithButtons(const MessageRequest& question,
                               const std::vector<std::string>& buttons,
                               std::size_t defaultButton) override;
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest& request) override;
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest& request) override;
    std::optional<std::size_t> ChooseFromList(const std::string& caption, const std::string& prompt,
                                              const std::vector<std::string>& entries) override;
    // The work itself touches no user interface: on a call's thread it simply runs there.
    void RunWhileBusy(const std::string& what, const std::function<void()>& work) override;

private:
    IUserAnswers& ui_;
};

class WindowThreadDde : public IDdeBrowser {
public:
    explicit WindowThreadDde(IDdeBrowser& dde) : dde_(dde) {}
    void OpenURL(const std::string& address, bool newWindow) override;
    void GetWindowInfo(std::string& address, std::string& title) override;

private:
    IDdeBrowser& dde_;
};

}  // namespace tessaline
