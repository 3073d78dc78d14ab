#pragma once
// The main window with every command wired, as the program makes it, driven by the
// fail-fast scripted user: the set-up of the tests that click through the whole window.

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "core/platform/profile.h"
#include "gui/app/frame_all_commands.h"
#include "gui/app/main_frame.h"
#include "support/qt_data_files.h"
#include "support/qt_dialog_driver.h"
#include "support/qt_scripted_answers.h"

namespace tessaline::testing {

// The browser paths point at nothing, so no test starts a real browser or helper.
inline constexpr const char* kNoProgram = "/nonexistent/tessaline-test-program";

struct WiredFrame {
    ScriptedAnswers ui;
    MemoryProfile profile;
    QTemporaryDir browserProfile;
    std::unique_ptr<CMainFrame> frame;
    // What Card > Open Address handed the desktop's browser (nothing is started).
    QStringList openedAddresses;

    WiredFrame() {
        profile.WriteText("Internet Preferences", "Explorer File Path", kNoProgram);
        profile.WriteText("Internet Preferences", "Netscape File Path", kNoProgram);
        frame = std::make_unique<CMainFrame>(ui, profile);
        WireFrameCommands(*frame, ui, profile,
                          FrameCommandOptions{browserProfile.path() + QStringLiteral("/browser"),
                                              [this](const QString& address) {
                                                  openedAddresses << address;
                                                  return true;
                                              }});
    }
    CMainFrame& operator*() { return *frame; }
    CMainFrame* operator->() { return frame.get(); }
    // Whether a command can be chosen now, as its menu entry or button shows it.
    bool Enabled(CommandId command) {
        frame->UpdateCommandState();
        return frame->Action(command)->isEnabled();
    }
    // Shows the window and opens path in it, as a user who starts the program and picks
    // the file; nullptr when it did not open.
    CChildFrame* ShowAndOpen(const QString& path) {
        frame->show();
        if (!QTest::qWaitForWindowActive(frame.get()))
            return nullptr;
        return frame->OpenDocumentFile(path);
    }
};

}  // namespace tessaline::testing
