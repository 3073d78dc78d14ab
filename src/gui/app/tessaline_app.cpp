#include "gui/app/tessaline_app.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "core/platform/handheld_users.h"
#include "gui/app/frame_icons.h"
#include "gui/app/frame_lock_commands.h"
#include "gui/app/frame_startup.h"
#include "gui/app/main_frame.h"
#include "gui/app/qt_user_answers.h"
#include "gui/app/splash_window.h"
#include "gui/browser/dde_object.h"
#include "gui/views/print_cards.h"
#include "platform/dde/dde_folder.h"
#include "platform/qt_profile.h"
#include "platform/screen_lock_watch.h"
#include "platform/single_instance.h"

namespace tessaline {

CTessalineApp::CTessalineApp(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Quillmar"));
    setApplicationName(QStringLiteral("Tessaline"));
    setApplicationDisplayName(QStringLiteral("Tessaline"));
    setDesktopFileName(QStringLiteral("tessaline"));
    InitFrameResources();
    setWindowIcon(QIcon(QString::fromUtf8(kAppIconPath)));
    profile_ = std::make_unique<QtProfile>();
    ui_ = std::make_unique<QtUserAnswers>();
    handheldUsers_ = std::make_unique<JPilotHandheldUsers>();
    startup_ = std::make_unique<CFrameStartup>(*ui_, *profile_, *handheldUsers_);
    startup_->StartupHooks() = CFrameStartup::DesktopHooks(*ui_, *profile_);
}

CTessalineApp::~CTessalineApp() {
    // The window and its documents go before the settings and answers they use.
    screenLock_.reset();
    instance_.reset();
    startup_.reset();
    UninitializeDde();
    if (profile_)
        profile_->Sync();
}

CMainFrame* CTessalineApp::MainFrame() const {
    return startup_->Frame();
}

bool CTessalineApp::HandOffToRunningProgram(const StartupOptions& options) {
    // A picture for scripts/screenshot is always taken of a program of its own.
    if (!options.screenshotPath.empty())
        return false;
    const std::optional<std::string> folder = dde::EnsurePrivateSocketFolder();
    if (!folder)
        return false;
    instance_ = std::make_unique<InstanceChannel>(QString::fromStdString(*folder));
    switch (instance_->Claim()) {
        case InstanceChannel::Role::Running:
            connect(instance_.get(), &InstanceChannel::FilesHandedOver, this,
                    [this](const QStringList& files) {
                        if (CMainFrame* frame = MainFrame()) {
                            frame->ReceiveHandedOverFiles(files);
                        } else {
                            handedOverEarly_ << files;
                            handOffArrivedEarly_ = true;
                        }
                    });
            return false;
        case InstanceChannel::Role::Alone:
            instance_.reset();
            return false;
        case InstanceChannel::Role::Second:
            break;
    }
    std::vector<std::string> files;
    for (const std::string& f : options.files)
        files.push_back(QFileInfo(QString::fromStdString(f)).absoluteFilePath().toStdString());
    const bool handed = instance_->HandOff(files);
    instance_.reset();
    if (!handed)
        std::fprintf(stderr,
                     "tessaline: the running Tessaline did not answer; starting another one\n");
    return handed;
}

bool CTessalineApp::InitInstance(const StartupOptions& options) {
    // Set before start-up runs, so that its questions show in the picture too.
    if (!options.screenshotPath.empty())
        ScheduleScreenshot(QString::fromStdString(options.screenshotPath));
    CSplashWindow::EnableSplash(options.showSplash);
    if (!RunStartup(options, *startup_, *profile_))
        return false;
    CMainFrame* frame = MainFrame();
    if (frame)
        ui_->SetParentWindow(frame);
    if (frame && handOffArrivedEarly_) {
        frame->ReceiveHandedOverFiles(std::exchange(handedOverEarly_, {}));
        handOffArrivedEarly_ = false;
    }
    if (frame) {
        screenLock_ = std::make_unique<ScreenLockWatch>();
        connect(screenLock_.get(), &ScreenLockWatch::ScreenLocked, frame, [frame] {
            if (CFrameLockCommands* lock = CFrameLockCommands::Of(*frame))
                lock->OnScreenLocked();
        });
    }
    if (frame && !options.openForScreenshot.empty())
        frame->OpenDocumentFile(QString::fromStdString(options.openForScreenshot));
    return true;
}

CommandLinePrint CTessalineApp::PrintFromCommandLine(const PrintSwitch& request) {
    return PrintDataFileFromCommandLine(QString::fromStdString(request.file),
                                        QString::fromStdString(request.printer), *ui_, *profile_);
}

void CTessalineApp::ScheduleScreenshot(const QString& path) {
    // Lets the window lay itself out and paint first.
    QTimer::singleShot(1500, this, [this, path] {
        // The whole screen, so that a dialog in front of the window shows too; where the
        // platform has no screen to grab, the window alone.
        QPixmap picture;
        if (QScreen* screen = QGuiApplication::primaryScreen())
            picture = screen->grabWindow(0);
        if (picture.isNull() && MainFrame())
            picture = MainFrame()->grab();
        const bool saved = picture.save(path);
        // Ends at once, whatever dialog is open: nothing was changed, nothing to save.
        std::fflush(nullptr);
        std::_Exit(saved ? 0 : 1);
    });
}

}  // namespace tessaline
