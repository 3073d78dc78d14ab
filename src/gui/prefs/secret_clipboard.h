#pragma once
// Puts card fields and generated passwords on the system clipboard as plain text marked
// as a secret for clipboard managers, and clears them again after a while and when the
// program ends, as long as the clipboard still holds what was put there.

#include <QObject>
#include <QString>

#include "core/prefs/clipboard_forget.h"

class QTimer;

namespace tessaline {

inline constexpr const char* kPasswordManagerHintFormat = "x-kde-passwordManagerHint";

class SecretClipboard : public QObject {
    Q_OBJECT
public:
    explicit SecretClipboard(QObject* parent = nullptr);
    ~SecretClipboard() override;

    // The one instance of the program, cleared when the application quits.
    static SecretClipboard& Instance();

    // Puts text on the clipboard; clears it after clearSeconds (0 = leave it). False when
    // the clipboard did not take the text.
    bool Put(const QString& text, int clearSeconds);
    // Clears the clipboard now if it still holds our text.
    void ClearIfOurs();
    // The clipboard's plain text now.
    static QString CurrentText();

signals:
    void Cleared();
    // A clear-delay ran out; cleared says whether our text was still there and went.
    void Expired(bool cleared);

private:
    void OnTimer(std::uint64_t ticket);

    ClipboardForgetRule rule_;
};

}  // namespace tessaline
