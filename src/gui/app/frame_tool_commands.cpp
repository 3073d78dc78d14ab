#include "gui/app/frame_tool_commands.h"

#include <QStatusBar>

#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "gui/app/about_dialog.h"
#include "gui/app/frame_lock_commands.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/pref_property_sheet.h"
#include "gui/views/card_commands_qt.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

CFrameToolCommands::CFrameToolCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile)
    : QObject(&frame), frame_(frame), ui_(ui), profile_(profile) {
    setObjectName(QStringLiteral("toolCommands"));
    const auto always = [](const CommandContext&) { return true; };
    frame_.SetCommandHandler(
        kCmdPreferences, [this] { Preferences(); }, always);
    frame_.SetCommandHandler(
        kCmdGeneratePassword, [this] { GeneratePassword(); }, always);
    frame_.SetCommandHandler(
        kCmdAppAbout, [this] { About(); }, always);
}

void CFrameToolCommands::Preferences() {
    RunPreferencesCommand(profile_, ui_, &frame_, [this] { RefreshAfterPreferences(); });
}

void CFrameToolCommands::RefreshAfterPreferences() {
    if (CFrameLockCommands* lock = CFrameLockCommands::Of(frame_))
        lock->ReloadMinutes();
    // The print switches are read afresh by every print, so only the lists need telling.
    CTessalineNewDoc* doc = frame_.ActiveDocument();
    if (doc != nullptr && frame_.ActiveView() != nullptr)
        doc->UpdateAllViews(frame_.CategoryBar()->CurrentCategoryText());
}

void CFrameToolCommands::GeneratePassword() {
    OnGeneratePassword(&frame_, ui_, profile_, frame_.ActiveView(),
                       [this](const QString& text, int timeoutMs) {
                           frame_.statusBar()->showMessage(text, timeoutMs);
                       });
}

void CFrameToolCommands::About() {
    CAboutDialog dialog(&frame_);
    dialog.exec();
}

}  // namespace tessaline
