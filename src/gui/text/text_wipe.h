#pragma once
// Clearing screen texts that held card texts or passwords, where they lie, before they
// are let go: a QString or QByteArray that no one else shares is overwritten in place;
// one that is shared (or a literal) is only let go, since its other holders still use it.

#include <QByteArray>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace tessaline {

void WipeText(QString& text);
void WipeText(QByteArray& bytes);

// Empties a line edit and clears the text it held; its undo history goes too.
void WipeLineEdit(QLineEdit& edit);
// Empties a text editor and its undo history.
void WipePlainTextEdit(QPlainTextEdit& edit);

}  // namespace tessaline
