#include "gui/app/frame_all_commands.h"

#include "gui/app/frame_browser_commands.h"
#include "gui/app/frame_card_commands.h"
#include "gui/app/frame_file_commands.h"
#include "gui/app/frame_history_commands.h"
#include "gui/app/frame_lock_commands.h"
#include "gui/app/frame_tool_commands.h"
#include "gui/app/main_frame.h"

namespace tessaline {

void WireFrameCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile,
                       const FrameCommandOptions& options) {
    // Each group is a child of the frame: Qt's ownership ends them with it.
    new CFrameCardCommands(frame, ui, profile, options.openAddress);
    new CFrameFileCommands(frame, ui, profile);
    new CFrameHistoryCommands(frame, ui, profile);
    new CFrameLockCommands(frame, ui, profile);
    new CFrameToolCommands(frame, ui, profile);
    new CFrameBrowserCommands(frame, ui, profile, options.browserProfileFolder);
    frame.UpdateCommandState();
}

}  // namespace tessaline
