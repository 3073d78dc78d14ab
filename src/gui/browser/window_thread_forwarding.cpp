#include "gui/browser/window_thread_forwarding.h"

#include "gui/browser/browser_call_runner.h"

namespace tessaline {

namespace {

// `ask` on the window's thread; `fallback` when the call was given up.
template <class Result, class Ask>
Result OnWindow(Result fallback, const Ask& ask) {
    Result result = fallback;
    BrowserCallRunner::OnWindowThread([&] { result = ask(); });
    return result;
}

}  // namespace

int WindowThreadProfile::GetInt(const std::string& section, const std::string& name,
                                int def) const {
    return OnWindow(def, [&] { return profile_.GetInt(section, name, def); });
}

std::string WindowThreadProfile::GetText(const std::string& section, const std::string& name,
                                         const std::string& def) const {
    return OnWindow(def, [&] { return profile_.GetText(section, name, def); });
}

void WindowThreadProfile::WriteInt(const std::string& section, const std::string& name, int value) {
    BrowserCallRunner::OnWindowThread([&] { profile_.WriteInt(section, name, value); });
}

void WindowThreadProfile::WriteText(const std::string& section, const std::string& name,
                                    const std::string& value) {
    BrowserCallRunner::OnWindowThread([&] { profile_.WriteText(section, name, value); });
}

MsgAnswer WindowThreadAnswers::Message(const MessageRequest& message) {
    return OnWindow(MsgAnswer::Cancel, [&] { return ui_.Message(message); });
}

MsgAnswer WindowThreadAnswers::MessageWithCaption(const MessageRequest& message,
                                                  const std::string& caption) {
    return OnWindow(MsgAnswer::Cancel, [&] { return ui_.MessageWithCaption(message, caption); });
}

std::optional<std::string> WindowThreadAnswers::DecryptionPassword(const std::string& title,
                                                                   const std::string& prefill) {
    return OnWindow(std::optional<std::string>(),
                    [&] { return ui_.DecryptionPassword(title, prefill); });
}

std::optional<std::string> WindowThreadAnswers::HandheldPassword() {
    return OnWindow(std::optional<std::string>(), [&] { return ui_.HandheldPassword(); });
}

std::optional<FileEncryptionAnswer> WindowThreadAnswers::FileEncryption(
    const FileEncryptionStart& start) {
    return OnWindow(std::optional<FileEncryptionAnswer>(),
                    [&] { return ui_.FileEncryption(start); });
}

std::size_t WindowThreadAnswers::AskWithButtons(const MessageRequest& question,
                                                const std::vector<std::string>& buttons,
                                                std::size_t defaultButton) {
    // Cancel, the last button, when the call was given up.
    const std::size_t cancel = buttons.empty() ? 0 : buttons.size() - 1;
    return OnWindow(cancel, [&] { return ui_.AskWithButtons(question, buttons, defaultButton); });
}

std::optional<FileDialogAnswer> WindowThreadAnswers::SaveFileName(
    const FileDialogRequest& request) {
    return OnWindow(std::optional<FileDialogAnswer>(), [&] { return ui_.SaveFileName(request); });
}

std::optional<FileDialogAnswer> WindowThreadAnswers::OpenFileName(
    const FileDialogRequest& request) {
    return OnWindow(std::optional<FileDialogAnswer>(), [&] { return ui_.OpenFileName(request); });
}

std::optional<std::size_t> WindowThreadAnswers::ChooseFromList(
    const std::string& caption, const std::string& prompt,
    const std::vector<std::string>& entries) {
    return OnWindow(std::optional<std::size_t>(),
                    [&] { return ui_.ChooseFromList(caption, prompt, entries); });
}

void WindowThreadAnswers::RunWhileBusy(const std::string& what, const std::function<void()>& work) {
    if (BrowserCallRunner::InCall())
        work();
    else
        ui_.RunWhileBusy(what, work);
}

void WindowThreadDde::OpenURL(const std::string& address, bool newWindow) {
    BrowserCallRunner::OnWindowThread([&] { dde_.OpenURL(address, newWindow); });
}

void WindowThreadDde::GetWindowInfo(std::string& address, std::string& title) {
    std::string shownAddress, shownTitle;
    if (BrowserCallRunner::OnWindowThread([&] { dde_.GetWindowInfo(shownAddress, shownTitle); })) {
        address = shownAddress;
        title = shownTitle;
    }
}

}  // namespace tessaline
