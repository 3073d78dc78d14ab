#pragma once
// The eye at the end of a password field: one click shows the typed text, the next masks
// it again.

class QAction;
class QLineEdit;

namespace tessaline {

// Puts the checkable eye into edit (object name "revealPassword"); the field starts
// masked, checking the eye shows the text and unchecking it masks it again.
QAction* AddPasswordReveal(QLineEdit& edit);

}  // namespace tessaline
