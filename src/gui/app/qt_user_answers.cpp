#include "gui/app/qt_user_answers.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "core/base/secure_wipe.h"
#include "core/file/password_check.h"
#include "gui/document/decrypt_password_dialog.h"
#include "gui/document/file_encryption_dialog.h"
#include "gui/text/text_codec.h"
#include "platform/busy_work.h"

namespace tessaline {

QString CaptionText(MsgCaption caption) {
    return caption == MsgCaption::Application ? QStringLiteral("Tessaline")
                                              : QStringLiteral("Error");
}

QStringList NameFiltersOf(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty())
            break;  // the closing "||"
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (description.contains(QLatin1Char('('))
                        ? description
                        : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

QString SuffixOfFilter(const QString& filter) {
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
    const QRegularExpressionMatch match = firstPattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

namespace {

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Warning:
            return QMessageBox::Warning;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

std::optional<FileDialogAnswer> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                              bool save) {
    QFileDialog dialog(parent, QString::fromStdString(request.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.defaultExtension.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    const QStringList filters = NameFiltersOf(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    // The file type the user picks decides the extension of a name typed without one.
    if (!request.defaultExtension.empty()) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) {
                             const QString suffix = SuffixOfFilter(filter);
                             if (!suffix.isEmpty())
                                 dialog.setDefaultSuffix(suffix);
                         });
    }
    if (!request.initialName.empty())
        dialog.selectFile(QString::fromStdString(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    FileDialogAnswer answer;
    answer.path = dialog.selectedFiles().constFirst().toStdString();
    answer.filterIndex =
        std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return answer;
}

}  // namespace

QtUserAnswers::QtUserAnswers(QWidget* parentWindow) : parent_(parentWindow) {}

MsgAnswer QtUserAnswers::Show(const MessageRequest& message, const QString& caption,
                              QWidget* parent) {
    QMessageBox box(IconOf(message.icon), caption, QString::fromStdString(message.text),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QMessageBox::StandardButtons buttons;
    switch (message.buttons) {
        case MsgButtons::Ok:
            buttons = QMessageBox::Ok;
            break;
        case MsgButtons::OkCancel:
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case MsgButtons::YesNo:
            buttons = QMessageBox::Yes | QMessageBox::No;
            break;
        case MsgButtons::YesNoCancel:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    box.setStandardButtons(buttons);
    if (message.defaultAnswer) {
        switch (*message.defaultAnswer) {
            case MsgAnswer::Ok:
                box.setDefaultButton(QMessageBox::Ok);
                break;
            case MsgAnswer::Cancel:
                box.setDefaultButton(QMessageBox::Cancel);
                break;
            case MsgAnswer::Yes:
                box.setDefaultButton(QMessageBox::Yes);
                break;
            case MsgAnswer::No:
                box.setDefaultButton(QMessageBox::No);
                break;
        }
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MsgAnswer::Ok;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            // Closing a Yes/No box without choosing means No; any other box, Cancel.
            return message.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    }
}

MsgAnswer QtUserAnswers::Message(const MessageRequest& message) {
    return Show(message, CaptionText(message.caption), parent_);
}

MsgAnswer QtUserAnswers::MessageWithCaption(const MessageRequest& message,
                                            const std::string& caption) {
    return Show(message, QString::fromStdString(caption), parent_);
}

std::optional<std::string> QtUserAnswers::DecryptionPassword(const std::string& title,
                                                             const std::string& prefill) {
    CDecryptPasswordDialog dialog(parent_);
    dialog.SetCaption(QString::fromStdString(title));
    dialog.SetPassword(DisplayText(prefill));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PasswordBytes(dialog.Password());
}

std::optional<std::string> QtUserAnswers::HandheldPassword() {
    CDecryptPasswordDialog dialog(parent_);
    dialog.SetHandheldPromptMode(true);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PasswordBytes(dialog.Password());
}

std::optional<FileEncryptionAnswer> QtUserAnswers::FileEncryption(
    const FileEncryptionStart& start) {
    CFileEncryptionDialog dialog(parent_);
    dialog.SetHasPassword(start.hasPassword);
    dialog.SetEncryptOnSave(start.encryptOnSave);
    // A refused new password is said at once, over the dialog, which stays open for
    // another try instead of closing and losing what was typed.
    dialog.acceptEntries = [this, &dialog, &start](const QString& firstEntry,
                                                   const QString& secondEntry) {
        SecretText a(StoredText(firstEntry));
        SecretText b(StoredText(secondEntry));
        const NewPasswordVerdict verdict =
            JudgeEncryptionEntries(a.Get(), b.Get(), start.hasPassword);
        if (verdict == NewPasswordVerdict::Accepted || verdict == NewPasswordVerdict::KeepCurrent)
            return true;
        Show(MessageRequest{NewPasswordMessage(verdict), MsgCaption::Application, MsgIcon::None,
                            MsgButtons::Ok},
             CaptionText(MsgCaption::Application), &dialog);
        return false;
    };
    dialog.SetSealed(start.sealed);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FileEncryptionAnswer{dialog.EncryptOnSave(), PasswordBytes(dialog.FirstEntry()),
                                PasswordBytes(dialog.SecondEntry()), dialog.Sealed()};
}

std::size_t QtUserAnswers::AskWithButtons(const MessageRequest& question,
                                          const std::vector<std::string>& buttons,
                                          std::size_t defaultButton) {
    if (buttons.empty())
        return 0;
    QMessageBox box(IconOf(question.icon), CaptionText(question.caption),
                    QString::fromStdString(question.text), QMessageBox::NoButton, parent_);
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> pushed;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        pushed.push_back(box.addButton(QString::fromStdString(buttons[i]),
                                       last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
    }
    box.setEscapeButton(pushed.back());
    if (defaultButton < pushed.size())
        box.setDefaultButton(pushed[defaultButton]);
    box.exec();
    for (std::size_t i = 0; i < pushed.size(); ++i) {
        if (box.clickedButton() == pushed[i])
            return i;
    }
    return buttons.size() - 1;
}

std::optional<std::size_t> QtUserAnswers::ChooseFromList(const std::string& caption,
                                                         const std::string& prompt,
                                                         const std::vector<std::string>& entries) {
    QDialog dialog(parent_);
    dialog.setObjectName(QStringLiteral("chooseFromList"));
    dialog.setWindowTitle(QString::fromStdString(caption));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QString::fromStdString(prompt), &dialog));
    auto* list = new QListWidget(&dialog);
    for (const std::string& entry : entries)
        list->addItem(DisplayText(entry));
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return static_cast<std::size_t>(list->currentRow());
}

void QtUserAnswers::RunWhileBusy(const std::string& what, const std::function<void()>& work) {
    RunOffGuiThread(parent_, QString::fromStdString(what), work);
}

std::optional<FileDialogAnswer> QtUserAnswers::SaveFileName(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, true);
}

std::optional<FileDialogAnswer> QtUserAnswers::OpenFileName(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, false);
}

}  // namespace tessaline
