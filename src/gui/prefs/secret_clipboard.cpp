#include "gui/prefs/secret_clipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

namespace tessaline {

SecretClipboard::SecretClipboard(QObject* parent) : QObject(parent) {
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &SecretClipboard::ClearIfOurs);
}

SecretClipboard::~SecretClipboard() {
    // While the application goes down the clipboard was already handled at aboutToQuit.
    if (QGuiApplication::instance() != nullptr && !QCoreApplication::closingDown())
        ClearIfOurs();
}

SecretClipboard& SecretClipboard::Instance() {
    static QPointer<SecretClipboard> instance;
    if (instance.isNull())
        instance = new SecretClipboard(QCoreApplication::instance());
    return *instance;
}

QString SecretClipboard::CurrentText() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard == nullptr ? QString() : clipboard->text();
}

bool SecretClipboard::Put(const QString& text, int clearSeconds) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(kPasswordManagerHintFormat, QByteArrayLiteral("secret"));
    clipboard->setMimeData(data);
    if (clipboard->text() != text)
        return false;
    const std::uint64_t ticket = rule_.Placed(text.toStdString());
    if (const int ms = ClearDelayMs(clearSeconds); ms > 0)
        QTimer::singleShot(ms, this, [this, ticket] { OnTimer(ticket); });
    return true;
}

void SecretClipboard::OnTimer(std::uint64_t ticket) {
    const std::string current = CurrentText().toStdString();
    bool cleared = false;
    if (rule_.ShouldClearAt(ticket, current)) {
        QGuiApplication::clipboard()->clear();
        rule_.Forget();
        cleared = true;
        emit Cleared();
    } else if (rule_.HoldsSecret() && !rule_.ShouldClearOnExit(current)) {
        // Someone else's text is there now: nothing of ours to clear any more.
        rule_.Forget();
    }
    emit Expired(cleared);
}

void SecretClipboard::ClearIfOurs() {
    if (!rule_.HoldsSecret())
        return;
    if (rule_.ShouldClearOnExit(CurrentText().toStdString())) {
        QGuiApplication::clipboard()->clear();
        emit Cleared();
    }
    rule_.Forget();
}

}  // namespace tessaline
