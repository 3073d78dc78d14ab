#pragma once
// Long work (deriving a key) off the user-interface thread: the windows keep repainting
// under a busy cursor, a small progress window appears when the work takes longer than
// a moment, and user input waits until the work has ended.

#include <QString>
#include <functional>

class QWidget;

namespace tessaline {

// How long the work may take before the progress window shows.
inline constexpr int kBusyWindowDelayMs = 300;

// Runs work on a thread of its own and returns when it has ended. Called on any other
// thread than the user interface's, or without an application, it runs work directly.
void RunOffGuiThread(QWidget* parent, const QString& what, const std::function<void()>& work);

}  // namespace tessaline
