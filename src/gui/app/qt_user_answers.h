#pragma once
// The user's answers through real message boxes, the password dialogs and the system's
// file choosers.

#include <QString>
#include <QStringList>

#include "core/platform/user_answers.h"

class QWidget;

namespace tessaline {

// The caption a message box of that kind shows: the application's name, or "Error".
QString CaptionText(MsgCaption caption);
// "Text File (*.txt)|*.txt||" as the chooser's name filters: {"Text File (*.txt)"}.
// A description without its own pattern list gets " (patterns)" appended.
QStringList NameFiltersOf(const std::string& filter);
// The extension of a name filter's first pattern: "Non Encrypted Data (*.tsf)" -> "tsf";
// empty when it has none ("All Files (*)").
QString SuffixOfFilter(const QString& filter);

class QtUserAnswers : public IUserAnswers {
public:
    explicit QtUserAnswers(QWidget* parentWindow = nullptr);

    MsgAnswer Message(const MessageRequest& message) override;
    MsgAnswer MessageWithCaption(const MessageRequest& message,
                                 const std::string& caption) override;
    std::optional<std::string> DecryptionPassword(const std::string& title,
                                                  const std::string& prefill) override;
    std::optional<std::string> HandheldPassword() override;
    std::optional<FileEncryptionAnswer> FileEncryption(const FileEncryptionStart& start) override;
    // A message box with the buttons named; Escape and closing it choose the last one.
    std::size_t AskWithButtons(const MessageRequest& question,
                               const std::vector<std::string>& buttons,
                               std::size_t defaultButton) override;
    // A small dialog with the entries in a list (the first one chosen), OK and Cancel.
    std::optional<std::size_t> ChooseFromList(const std::string& caption, const std::string& prompt,
                                              const std::vector<std::string>& entries) override;
    // Runs work on another thread under a busy cursor, with a small progress window
    // when it takes longer than a moment; the windows keep repainting meanwhile.
    void RunWhileBusy(const std::string& what, const std::function<void()>& work) override;
    std::optional<FileDialogAnswer> SaveFileName(const FileDialogRequest& request) override;
    std::optional<FileDialogAnswer> OpenFileName(const FileDialogRequest& request) override;

    void SetParentWindow(QWidget* parentWindow) { parent_ = parentWindow; }

private:
    MsgAnswer Show(const MessageRequest& message, const QString& caption, QWidget* parent);

    QWidget* parent_;
};

}  // namespace tessaline
