#pragma once
// Closing the program's open menus and dialogs when the documents lock: a lock never
// waits for a dialog. Each dialog's text fields and menus are emptied before it goes, so
// that no card text or password stays on the screen or in its widgets, and a card
// editor's content is handed over first, to be kept with its document.

#include <functional>

namespace tessaline {

class CCardDialog;

// Closes every open popup menu and every modal dialog, innermost first (a message box
// is answered as its close button answers it: No or Cancel). keep is called with each
// card editor before it is emptied. Returns how many dialogs were closed.
int CloseDialogsForLock(const std::function<void(CCardDialog&)>& keep);

}  // namespace tessaline
