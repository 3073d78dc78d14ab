#include "gui/app/text_field_commands.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "core/commands/command_ids.h"

namespace tessaline {

QWidget* TextFieldOf(QWidget* widget) {
    if (!widget)
        return nullptr;
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->lineEdit();
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget) ||
        qobject_cast<QPlainTextEdit*>(widget))
        return widget;
    return nullptr;
}

namespace {
bool ClipboardHasText() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() && !data->text().isEmpty();
}
}  // namespace

TextFieldState TextFieldStateOf(QWidget* field) {
    TextFieldState s;
    if (!field)
        return s;
    s.focused = true;
    s.clipboardHasText = ClipboardHasText();
    if (auto* e = qobject_cast<QLineEdit*>(field)) {
        s.readOnly = e->isReadOnly();
        s.masked = e->echoMode() != QLineEdit::Normal;
        s.canUndo = e->isUndoAvailable();
        s.canRedo = e->isRedoAvailable();
        s.hasSelectedText = e->hasSelectedText();
    } else if (auto* t = qobject_cast<QTextEdit*>(field)) {
        s.readOnly = t->isReadOnly();
        s.canUndo = t->document()->isUndoAvailable();
        s.canRedo = t->document()->isRedoAvailable();
        s.hasSelectedText = t->textCursor().hasSelection();
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(field)) {
        s.readOnly = p->isReadOnly();
        s.canUndo = p->document()->isUndoAvailable();
        s.canRedo = p->document()->isRedoAvailable();
        s.hasSelectedText = p->textCursor().hasSelection();
    } else {
        s.focused = false;
    }
    return s;
}

bool RunTextFieldCommand(CommandId command, QWidget* field) {
    if (command != CommandId::EditUndo && command != CommandId::EditRedo &&
        command != CommandId::EditCut && command != CommandId::EditCopy &&
        command != CommandId::EditPaste)
        return false;
    CommandContext context;
    context.textField = TextFieldStateOf(field);
    if (!IsCommandEnabled(command, context))
        return false;
    auto run = [command](auto* w) {
        switch (command) {
            case CommandId::EditUndo:
                w->undo();
                break;
            case CommandId::EditRedo:
                w->redo();
                break;
            case CommandId::EditCut:
                w->cut();
                break;
            case CommandId::EditCopy:
                w->copy();
                break;
            case CommandId::EditPaste:
                w->paste();
                break;
            default:
                break;
        }
    };
    if (auto* e = qobject_cast<QLineEdit*>(field)) {
        run(e);
    } else if (auto* t = qobject_cast<QTextEdit*>(field)) {
        run(t);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(field)) {
        run(p);
    } else {
        return false;
    }
    return true;
}

}  // namespace tessaline
