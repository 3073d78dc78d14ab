#include "gui/app/frame_lock_commands.h"

#include <QApplication>
#include <QEvent>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "core/commands/command_ids.h"
#include "core/platform/profile.h"
#include "core/prefs/frame_keys.h"
#include "core/views/card_dialog_presets.h"
#include "gui/app/child_frame.h"
#include "gui/app/lock_dialog_closer.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/prefs/secret_clipboard.h"
#include "gui/views/card_dialog.h"
#include "gui/views/card_edit_commands.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

namespace {

// A lock whose dialogs have not ended after this many looks (about two seconds) locks
// anyway: whatever those dialogs' work does next, a locked document refuses it.
constexpr int kMostTries = 200;

int LoopLevel() {
    return QThread::currentThread()->loopLevel();
}

// Slow work (deriving a key) runs with a busy cursor; the lock comes after it.
bool BusyWorkRunning() {
    return QApplication::overrideCursor() != nullptr;
}

CChildFrame* ChildOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* child = qobject_cast<CChildFrame*>(w))
            return child;
    }
    return nullptr;
}

void FillDraft(CardDraft& d, const CardEditorFields& f) {
    d.name = f.name;
    d.address = f.address;
    d.userId = f.userId;
    d.password = f.password;
    d.note = f.note;
    d.newBrowserWindow = f.newBrowserWindow;
    d.automaticAccess = f.automaticAccess;
}

// The editor's fields with the draft's texts and attributes in them.
CardEditorFields WithDraft(CardEditorFields f, const CardDraft& d) {
    f.name = d.name;
    f.address = d.address;
    f.userId = d.userId;
    f.password = d.password;
    f.note = d.note;
    f.newBrowserWindow = d.newBrowserWindow;
    f.automaticAccess = d.automaticAccess;
    return f;
}

void Wipe(CardEditorFields& f) {
    for (std::string* text : {&f.name, &f.address, &f.userId, &f.password, &f.note})
        SecureWipe(*text);
}

}  // namespace

CFrameLockCommands::CFrameLockCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile)
    : QObject(&frame), frame_(frame), ui_(ui), profile_(profile), idleTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("lockCommands"));
    frame_.Commands().Bind(CommandId::FileLock, this, &CFrameLockCommands::LockAll);
    // Lock's rule asks whether some document can be locked.
    frame_.Commands().AddFacts([this](CommandContext& c) { c.anyLockable = AnyLockable(); });
    ReloadMinutes();
    idleTimer_->setObjectName(QStringLiteral("idleLockTimer"));
    connect(idleTimer_, &QTimer::timeout, this, [this] { CheckIdle(IdleLockClock::Clock::now()); });
    idleTimer_->start(kIdleCheckMs);
    qApp->installEventFilter(this);
}

CFrameLockCommands::~CFrameLockCommands() {
    qApp->removeEventFilter(this);
    for (KeptDraft& kept : drafts_)
        WipeDraft(kept.draft);
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
        if (!doc.IsLocked() && doc.EncryptionState() == 1)
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
    if (idle_.Expired(now))
        LockAll();
}

void CFrameLockCommands::LockAll() {
    SecretClipboard::Instance().ClearIfOurs();
    // The lock's own key derivation lets timers run; a second lock meanwhile has nothing
    // to add.
    if (locking_ || pending_)
        return;
    if (!AnyLockable()) {
        frame_.UpdateCommandState();
        return;
    }
    pending_ = true;
    tries_ = 0;
    lockLevel_ = LoopLevel();
    TryLock();
}

void CFrameLockCommands::TryLock() {
    if (!pending_)
        return;
    // Slow work always ends by itself; the lock comes right after it.
    if (!BusyWorkRunning()) {
        ++tries_;
        // Each dialog closed ran an event loop of its own inside the work it belongs to.
        const int closed = CloseDialogsForLock([this](CCardDialog& editor) { KeepDraft(editor); });
        if (closed > 0)
            lockLevel_ = std::min(lockLevel_, LoopLevel() - closed);
        if ((closed == 0 && LoopLevel() <= lockLevel_) || tries_ > kMostTries) {
            LockNow();
            return;
        }
    }
    QTimer::singleShot(kRetryMs, this, &CFrameLockCommands::TryLock);
}

void CFrameLockCommands::KeepDraft(CCardDialog& editor) {
    CChildFrame* child = ChildOf(editor.parentWidget());
    if (child == nullptr)
        child = frame_.ActiveChild();
    if (child == nullptr)
        return;
    CardEditorFields fields = editor.Fields();
    KeptDraft& kept = drafts_.emplace_back();
    kept.child = child;
    FillDraft(kept.draft, fields);
    Wipe(fields);
    if (fields.editMode == 1 && child->View() != nullptr)
        kept.draft.editing = PlaceOfCard(child->Document().Cards(), child->View()->SelectedCard());
}

void CFrameLockCommands::LockNow() {
    pending_ = false;
    locking_ = true;
    QStringList kept;
    // A document's key derivation runs the event loop: a window may go meanwhile.
    std::vector<QPointer<CChildFrame>> children;
    for (CChildFrame* child : frame_.Children())
        children.emplace_back(child);
    for (const QPointer<CChildFrame>& child : children) {
        if (child.isNull())
            continue;
        // Room for all at once, and each moved-from text wiped: no copy is left behind.
        std::vector<CardDraft> drafts;
        drafts.reserve(static_cast<std::size_t>(std::count_if(
            drafts_.begin(), drafts_.end(), [&](const KeptDraft& k) { return k.child == child; })));
        for (KeptDraft& k : drafts_) {
            if (k.child == child) {
                drafts.push_back(std::move(k.draft));
                WipeDraft(k.draft);
            }
        }
        CTessalineNewDoc& doc = child->Document();
        // A plain document stays open: its editors open again at once.
        if (doc.EncryptionState() != 1 || doc.IsLocked()) {
            if (!drafts.empty())
                OfferDrafts(child, std::move(drafts));
            continue;
        }
        // Copies for a document that stays open: nothing it held is lost.
        std::vector<CardDraft> unsealed = drafts;
        std::string why;
        const LockOutcome outcome = doc.Lock(std::move(drafts), &why);
        if (outcome == LockOutcome::Locked) {
            for (CardDraft& d : unsealed)
                WipeDraft(d);
            WatchUnlock(child);
            continue;
        }
        if (outcome == LockOutcome::NotSealed)
            kept << QString::fromStdString(NotSealedMessage(doc.Title().toStdString(), why));
        if (!unsealed.empty())
            OfferDrafts(child, std::move(unsealed));
    }
    for (KeptDraft& k : drafts_)
        WipeDraft(k.draft);
    drafts_.clear();
    locking_ = false;
    if (!kept.isEmpty())
        frame_.ShowStatusMessage(kept.join(QStringLiteral("; ")));
    frame_.UpdateCommandState();
}

void CFrameLockCommands::WatchUnlock(CChildFrame* child) {
    static const char* const kWatched = "tessalineUnlockWatched";
    if (child->property(kWatched).toBool())
        return;
    child->setProperty(kWatched, true);
    QPointer<CChildFrame> guard(child);
    connect(&child->Document(), &CTessalineNewDoc::LockChanged, this, [this, guard](bool locked) {
        if (locked || guard.isNull())
            return;
        std::vector<CardDraft> drafts = guard->Document().Model().TakeDrafts();
        if (!drafts.empty())
            OfferDrafts(guard, std::move(drafts));
    });
}

void CFrameLockCommands::OfferDrafts(CChildFrame* child, std::vector<CardDraft> drafts) {
    QPointer<CChildFrame> guard(child);
    // After the unlock (or the lock) has finished; each editor is its own dialog.
    auto shared = std::make_shared<std::vector<CardDraft>>(std::move(drafts));
    QTimer::singleShot(0, this, [this, guard, shared] {
        ReopenEditors(guard, *shared);
        for (CardDraft& d : *shared)
            WipeDraft(d);
    });
}

void CFrameLockCommands::ReopenEditors(CChildFrame* child, std::vector<CardDraft>& drafts) {
    for (CardDraft& d : drafts) {
        // The window closed (its cards went with it), or its document locked again in the
        // moment between the unlock and this: there is no card list to edit in.
        if (child == nullptr || child->Document().IsLocked() || child->View() == nullptr)
            return;
        CTessalineNewDoc& doc = child->Document();
        CTessalineNewView& view = *child->View();
        const CardEditorRunner real = RealCardEditor(ui_, &view);
        const CardEditorRunner withDraft = [&](const CardEditorFields& preset) {
            CardEditorFields f = WithDraft(preset, d);
            std::optional<CardEditorFields> result = real(f);
            Wipe(f);
            return result;
        };
        CCard* card = d.editing ? CardAtPlace(doc.Cards(), *d.editing) : nullptr;
        if (card != nullptr)
            OnEditCard(doc, view, ui_, profile_, card, withDraft);
        else
            OnNewCard(doc, view, ui_, profile_, withDraft);
    }
}

}  // namespace tessaline
