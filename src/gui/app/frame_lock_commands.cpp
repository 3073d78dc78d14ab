#include "gui/app/frame_lock_commands.h"

#include <QApplication>
#include <QEvent>
#include <QStringList>
#include <QTimer>

#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/child_frame.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"

namespace tessaline {

CFrameLockCommands::CFrameLockCommands(CMainFrame& frame, IProfile& profile)
    : QObject(&frame), frame_(frame), profile_(profile), idleTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("lockCommands"));
    frame_.SetCommandHandler(
        kCmdFileLock, [this] { LockAll(); },
        [this](const CommandContext&) { return AnyLockable(); });
    ReloadMinutes();
    idleTimer_->setObjectName(QStringLiteral("idleLockTimer"));
    connect(idleTimer_, &QTimer::timeout, this, [this] { CheckIdle(IdleLockClock::Clock::now()); });
    idleTimer_->start(kIdleCheckMs);
    qApp->installEventFilter(this);
}

CFrameLockCommands::~CFrameLockCommands() {
    qApp->removeEventFilter(this);
}

CFrameLockCommands* CFrameLockCommands::Of(CMainFrame& frame) {
    return frame.findChild<CFrameLockCommands*>(QStringLiteral("lockCommands"),
                                                Qt::FindDirectChildrenOnly);
}

void CFrameLockCommands::ReloadMinutes() {
    idle_.SetMinutes(LockAfterMinutes(profile_));
}

bool CFrameLockCommands::AnyLockable() const {
    for (CChildFrame* child : frame_.Children()) {
        const CTessalineNewDoc& doc = child->Document();
        if (!doc.IsLocked() && doc.EncryptionState() == 1 && !doc.PathName().isEmpty())
            return true;
    }
    return false;
}

bool CFrameLockCommands::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            idle_.Touch(IdleLockClock::Clock::now());
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void CFrameLockCommands::CheckIdle(IdleLockClock::Clock::time_point now) {
    if (pending_) {
        LockAll();
        return;
    }
    if (idle_.Expired(now))
        LockAll();
}

void CFrameLockCommands::LockAll() {
    // A dialog may be working on a card of a document: the lock waits until it is closed.
    if (QApplication::activeModalWidget() != nullptr) {
        pending_ = true;
        return;
    }
    pending_ = false;
    LockNow();
}

void CFrameLockCommands::LockNow() {
    const bool autoSaveOn =
        profile_.GetInt(prefs::kInternetSection, prefs::kAutomaticSaveCheck, 0) == 1;
    QStringList kept;
    for (CChildFrame* child : frame_.Children()) {
        CTessalineNewDoc& doc = child->Document();
        if (doc.Lock(autoSaveOn) == LockOutcome::UnsavedChanges)
            kept << QString::fromStdString(NotLockedMessage(doc.Title().toStdString()));
    }
    if (!kept.isEmpty())
        frame_.ShowStatusMessage(kept.join(QStringLiteral("; ")));
    frame_.UpdateCommandState();
}

}  // namespace tessaline
