#pragma once
// What the wiring tests share: a main window with every command wired, as the program
// makes it, driven by a scripted user; and a way to answer the next modal window.

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/platform/profile.h"
#include "gui/app/frame_all_commands.h"
#include "gui/app/main_frame.h"
#include "support/frame_test_support.h"

namespace tessaline::wiringtest {

// The browser paths point at nothing, so no test starts a real browser or helper.
inline constexpr const char* kNoProgram = "/nonexistent/tessaline-test-program";

struct WiredFrame {
    frametest::ScriptedUser ui;
    MemoryProfile profile;
    QTemporaryDir browserProfile;
    std::unique_ptr<CMainFrame> frame;

    WiredFrame() {
        profile.WriteText("Internet Preferences", "Explorer File Path", kNoProgram);
        profile.WriteText("Internet Preferences", "Netscape File Path", kNoProgram);
        frame = std::make_unique<CMainFrame>(ui, profile);
        WireFrameCommands(*frame, ui, profile,
                          FrameCommandOptions{browserProfile.path() + QStringLiteral("/browser")});
    }
    CMainFrame& operator*() { return *frame; }
    CMainFrame* operator->() { return frame.get(); }
    // Whether a command can be chosen now, as its menu entry or button shows it.
    bool Enabled(int command) {
        frame->UpdateCommandState();
        return frame->Action(command)->isEnabled();
    }
};

// Runs answer on the next modal window of type T once it is up; seen tells whether it
// came. The window is closed afterwards if answer left it open. Looks for it for a few
// seconds at most, so a window that never comes cannot catch a later one.
template <typename T>
void WhenModalOpens(bool& seen, std::function<void(T&)> answer, int triesLeft = 500) {
    seen = false;
    QTimer::singleShot(triesLeft == 500 ? 0 : 10, [&seen, answer, triesLeft] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window == nullptr) {
            if (triesLeft > 0)
                WhenModalOpens<T>(seen, answer, triesLeft - 1);
            return;
        }
        seen = true;
        answer(*window);
        if (window->isVisible())
            window->close();
    });
}

}  // namespace tessaline::wiringtest
