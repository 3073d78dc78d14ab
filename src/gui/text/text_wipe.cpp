#include "gui/text/text_wipe.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "core/base/secure_wipe.h"

namespace tessaline {

void WipeText(QString& text) {
    // isDetached() is false for a shared text and for a literal's read-only data.
    if (text.isDetached()) {
        // The whole allocation, so that the characters of a longer earlier value go too.
        SecureWipe(const_cast<QChar*>(text.constData()),
                   static_cast<std::size_t>(text.capacity()) * sizeof(QChar));
    }
    text = QString();
}

void WipeText(QByteArray& bytes) {
    if (bytes.isDetached())
        SecureWipe(const_cast<char*>(bytes.constData()),
                   static_cast<std::size_t>(bytes.capacity()));
    bytes = QByteArray();
}

void WipeLineEdit(QLineEdit& edit) {
    // Taken out first: once the edit has let go, this copy is the only holder and is
    // cleared in place. Setting a text also empties the undo history.
    QString held = edit.text();
    edit.setText(QString());
    WipeText(held);
}

void WipePlainTextEdit(QPlainTextEdit& edit) {
    edit.document()->clearUndoRedoStacks();
    edit.clear();
}

}  // namespace tessaline
