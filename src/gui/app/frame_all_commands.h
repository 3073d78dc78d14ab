#pragma once
// Gives the main window the work of every command whose windows live outside the frame:
// the card commands, export and printing, the preferences, generator and About windows,
// and the Internet commands.

#include <QString>
#include <functional>

namespace tessaline {

class CMainFrame;
class IProfile;
class IUserAnswers;

struct FrameCommandOptions {
    // Where the automation browser keeps its profile; empty: the program's own folder.
    QString browserProfileFolder;
    // Hands Card > Open Address's address to the desktop's web browser; empty: the desktop's
    // own way (QDesktopServices). False when nothing took it.
    std::function<bool(const QString& address)> openAddress;
};

// The command groups become children of the frame and live as long as it does.
void WireFrameCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile,
                       const FrameCommandOptions& options = {});

}  // namespace tessaline
