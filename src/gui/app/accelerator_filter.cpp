#include "gui/app/accelerator_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include "core/commands/command_state.h"

namespace tessaline {

CAcceleratorFilter::CAcceleratorFilter(QWidget& window, std::function<void(int)> run,
                                       QObject* parent)
    : QObject(parent), window_(&window), run_(std::move(run)) {
    for (const Accelerator& a : kAcceleratorTable) {
        const QKeySequence seq(
            QString::fromUtf8(a.keys.data(), static_cast<qsizetype>(a.keys.size())),
            QKeySequence::PortableText);
        if (!seq.isEmpty())
            table_.emplace_back(seq[0], a.command);
    }
    qApp->installEventFilter(this);
}

int CAcceleratorFilter::CommandOfKey(QKeyCombination key) const {
    // The same key on the keypad counts (Shift+Ins, Shift+Del).
    const QKeyCombination plain(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key());
    for (const auto& [combination, command] : table_) {
        if (combination == plain)
            return command;
    }
    return 0;
}

int CAcceleratorFilter::CommandOf(const QKeyEvent& e) const {
    return CommandOfKey(QKeyCombination(e.modifiers(), static_cast<Qt::Key>(e.key())));
}

bool CAcceleratorFilter::InWindow(QObject* watched) const {
    if (!window_ || !watched || !watched->isWidgetType())
        return false;
    const auto* w = static_cast<QWidget*>(watched);
    // A dialog or pop-up menu of the window is a window of its own and keeps its keys.
    return w->window() == window_ && !QApplication::activePopupWidget() &&
           !QApplication::activeModalWidget();
}

bool CAcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    if (!InWindow(watched))
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    const int command = CommandOf(key);
    if (command == 0)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Claiming the key keeps it from the shortcut and mnemonic machinery; it then
        // comes back here as a key press.
        event->accept();
        return true;
    }
    if (run_)
        run_(command);
    return true;
}

}  // namespace tessaline
