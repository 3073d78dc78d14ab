#include "gui/app/main_frame.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <utility>

#include "core/app/window_memory.h"
#include "core/cards/card.h"
#include "core/commands/command_table.h"
#include "core/commands/undo_menu_text.h"
#include "core/platform/profile.h"
#include "core/platform/user_answers.h"
#include "core/prefs/frame_keys.h"
#include "gui/app/accelerator_filter.h"
#include "gui/app/child_frame.h"
#include "gui/app/frame_actions.h"
#include "gui/app/frame_icons.h"
#include "gui/app/text_field_commands.h"
#include "gui/app/welcome_panel.h"
#include "gui/document/tessaline_doc.h"
#include "gui/text/text_codec.h"
#include "gui/views/category_bar.h"
#include "gui/views/print_cards.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

namespace {

constexpr int kMillisecondsPerMinute = 60'000;
constexpr int kItemCountPaneWidth = 60;

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

CMainFrame::CMainFrame(IUserAnswers& ui, IProfile& profile, QWidget* parent)
    : QMainWindow(parent),
      ui_(ui),
      profile_(profile),
      actions_(new CFrameActions(this)),
      mdi_(new QMdiArea(this)),
      central_(new QStackedWidget(this)),
      welcome_(new CWelcomePanel(central_)),
      autoSaveTimer_(new QTimer(this)),
      commandStateTimer_(new QTimer(this)),
      commands_([this] {
          welcome_->SetImportAvailable(commands_.IsBound(CommandId::FileImportCsv));
          ScheduleCommandStateUpdate();
      }) {
    InitFrameResources();
    setObjectName(QStringLiteral("mainFrame"));
    UpdateFrameTitle();
    setWindowIcon(QIcon(QString::fromUtf8(kAppIconPath)));
    resize(kInitialWidth, kInitialHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect box(QPoint(), QSize(kInitialWidth, kInitialHeight));
        box.moveCenter(screen->availableGeometry().center());
        move(box.topLeft());
    }
    RestoreWindowGeometry();

    mdi_->setObjectName(QStringLiteral("mdiArea"));
    central_->setObjectName(QStringLiteral("centralPages"));
    central_->addWidget(welcome_);
    central_->addWidget(mdi_);
    setCentralWidget(central_);
    connect(welcome_, &CWelcomePanel::CommandChosen, this, &CMainFrame::OnCommand);
    connect(welcome_, &CWelcomePanel::ImportChosen, this, &CMainFrame::ImportFromWelcome);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnChildActivated);

    connect(actions_, &CFrameActions::CommandTriggered, this, &CMainFrame::OnCommand);
    accelerators_ = new CAcceleratorFilter(
        *this, [this](CommandId command) { OnCommand(command); }, this);

    CreateBars();
    BindOwnCommands();
    recent_.Load(profile_);
    UpdateRecentFileActions();
    RebuildMenuBar();
    UpdateCentralPage();
    ApplyLastSelectedCategory();

    autoSaveTimer_->setObjectName(QStringLiteral("autoSaveTimer"));
    connect(autoSaveTimer_, &QTimer::timeout, this, &CMainFrame::OnAutoSaveTick);
    if (profile_.GetInt(prefs::kInternetSection, prefs::kAutomaticSaveCheck, 0) == 1)
        StartAutoSaveTimer(1);

    commandStateTimer_->setSingleShot(true);
    commandStateTimer_->setInterval(0);
    connect(commandStateTimer_, &QTimer::timeout, this, &CMainFrame::UpdateCommandState);
    connect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &CMainFrame::ScheduleCommandStateUpdate);
    UpdateCommandState();
}

CMainFrame::~CMainFrame() {
    // The child windows hold the documents, which call back into the frame as they go.
    disconnect(mdi_, nullptr, this, nullptr);
    // Hiding the window as it goes moves the focus; the frame is no longer there to hear it.
    disconnect(qApp, &QApplication::focusChanged, this, &CMainFrame::OnFocusChanged);
    categoryBar_->SetActiveView(nullptr);
    for (CChildFrame* child : Children())
        delete child;
}

// ---------------------------------------------------------------------------------------
// Bars and menus

void CMainFrame::CreateBars() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(20, 20));
    actions_->BuildToolBar(*toolBar_);
    addToolBar(Qt::TopToolBarArea, toolBar_);

    addToolBarBreak(Qt::TopToolBarArea);
    categoryBar_ = new CCategoryBar(ui_, this);
    addToolBar(Qt::TopToolBarArea, categoryBar_);
    categoryBar_->SearchButton()->setIcon(QIcon(QString::fromUtf8(kSearchIconPath)));
    connect(categoryBar_, &CCategoryBar::CategoryChanged, this,
            &CMainFrame::ScheduleCommandStateUpdate);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    auto* idle = new QLabel(Q(kIdlePrompt), bar);
    idle->setObjectName(QStringLiteral("idlePrompt"));
    bar->addWidget(idle, 1);
    itemCountPane_ = new QLabel(bar);
    itemCountPane_->setObjectName(QStringLiteral("itemCountPane"));
    itemCountPane_->setMinimumWidth(kItemCountPaneWidth);
    itemCountPane_->setFrameShape(QFrame::Panel);
    itemCountPane_->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(itemCountPane_);
    layoutPane_ = new QLabel(bar);
    layoutPane_->setObjectName(QStringLiteral("layoutPane"));
    layoutPane_->setFrameShape(QFrame::Panel);
    layoutPane_->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(layoutPane_);
}

void CMainFrame::ApplyLastSelectedCategory() {
    const std::string last = profile_.GetText(prefs::kGeneralSection, prefs::kLastSelectedCatg, "");
    QComboBox* selector = categoryBar_->Selector();
    if (last.empty()) {
        selector->setCurrentIndex(0);
    } else if (!categoryBar_->SelectCategoryStartingWith(QString::fromStdString(last))) {
        // A remembered name the selector does not have leaves it without a selection.
        selector->setCurrentIndex(-1);
    }
}

void CMainFrame::RebuildMenuBar() {
    const int haveDocument = Children().isEmpty() ? 0 : 1;
    if (haveDocument == menuHasDocument_)
        return;
    menuHasDocument_ = haveDocument;
    actions_->BuildMenuBar(
        *menuBar(), haveDocument == 1, [this] { UpdateCommandState(); },
        [this](QMenu& menu) { FillWindowList(menu); });
}

void CMainFrame::FillWindowList(QMenu& menu) {
    const QList<CChildFrame*> children = Children();
    const CChildFrame* active = ActiveChild();
    for (int i = 0; i < children.size(); ++i) {
        CChildFrame* child = children[i];
        QString title = child->Document().Title();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(title), &menu);
        a->setCheckable(true);
        a->setChecked(child == active);
        a->setStatusTip(QStringLiteral("Activate this window"));
        QPointer<CChildFrame> target(child);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target)
                mdi_->setActiveSubWindow(target);
        });
        menu.addAction(a);
    }
}

void CMainFrame::UpdateRecentFileActions() {
    const auto& entries = recent_.Entries();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = actions_->Action(RecentFileCommand(i));
        const bool shown = static_cast<std::size_t>(i) < entries.size();
        a->setVisible(shown);
        if (shown) {
            a->setText(QString::fromStdString(RecentFileMenuText(
                static_cast<std::size_t>(i), entries[static_cast<std::size_t>(i)])));
        }
    }
    actions_->EmptyRecentFileAction()->setVisible(entries.empty());
    welcome_->ShowRecentFiles(entries);
}

void CMainFrame::ShowItemCount(int count) {
    itemCountPane_->setText(QStringLiteral("Items: %1").arg(count));
}

QString CMainFrame::ItemCountText() const {
    return itemCountPane_->text();
}

void CMainFrame::ShowEncryptionIcon(int state) {
    if (CChildFrame* child = ActiveChild())
        child->ShowEncryptionIcon(state);
}

void CMainFrame::ShowLayout() {
    const CTessalineNewDoc* doc = ActiveDocument();
    layoutPane_->setText(doc ? doc->LayoutText() : QString());
}

QString CMainFrame::LayoutText() const {
    return layoutPane_->text();
}

void CMainFrame::ShowCategoryBar() {
    categoryBar_->show();
}

void CMainFrame::ShowStatusMessage(const QString& text) {
    statusBar()->showMessage(text);
}

QString CMainFrame::StatusMessage() const {
    return statusBar()->currentMessage();
}

void CMainFrame::UpdateFrameTitle() {
    const CTessalineNewDoc* doc = ActiveDocument();
    const QString title =
        QString::fromStdString(FrameTitle(doc ? doc->ShownTitle().toStdString() : std::string()));
    settingTitle_ = true;
    setWindowTitle(title);
    setWindowModified(doc && doc->IsModified());
    settingTitle_ = false;
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // A maximised child window writes "Tessaline - [NAME]" into the frame's title as it
    // comes and goes; the frame puts its own back once that is done.
    if (event->type() == QEvent::WindowTitleChange && !settingTitle_)
        QTimer::singleShot(0, this, [this] {
            const CTessalineNewDoc* doc = ActiveDocument();
            const QString wanted = QString::fromStdString(
                FrameTitle(doc ? doc->ShownTitle().toStdString() : std::string()));
            if (windowTitle() != wanted)
                UpdateFrameTitle();
        });
}

void CMainFrame::RestoreWindowGeometry() {
    const std::string stored =
        profile_.GetText(prefs::kSettingsSection, prefs::kWindowGeometry, "");
    if (stored.empty())
        return;
    const QByteArray geometry = QByteArray::fromBase64(QByteArray::fromStdString(stored));
    // A size or place that no screen shows any more falls back to the centred window.
    const QRect before = geometry.isEmpty() ? QRect() : this->geometry();
    if (!restoreGeometry(geometry) && before.isValid())
        setGeometry(before);
}

void CMainFrame::SaveWindowGeometry() {
    profile_.WriteText(prefs::kSettingsSection, prefs::kWindowGeometry,
                       saveGeometry().toBase64().toStdString());
}

void CMainFrame::UpdateCentralPage() {
    const bool none = Children().isEmpty();
    central_->setCurrentWidget(none ? static_cast<QWidget*>(welcome_) : mdi_);
    welcome_->SetImportAvailable(commands_.IsBound(CommandId::FileImportCsv));
}

// ---------------------------------------------------------------------------------------
// Command state

QAction* CMainFrame::Action(CommandId command) const {
    return actions_->Action(command);
}

QWidget* CMainFrame::FocusedTextField() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus->window() == this)
        return TextFieldOf(focus);
    // A menu or another window has the keys for now: the field that had them counts.
    return lastTextField_;
}

void CMainFrame::OnFocusChanged(QWidget*, QWidget* now) {
    if (now && now->window() == this) {
        lastTextField_ = TextFieldOf(now);
        lastFocus_ = now;
    }
    ScheduleCommandStateUpdate();
}

CommandContext CMainFrame::CurrentCommandContext() const {
    CommandContext c;
    if (const CTessalineNewDoc* doc = ActiveDocument()) {
        c.hasDocument = true;
        c.documentHasCards = doc->HasCards();
        c.documentLocked = doc->IsLocked();
    }
    if (const CTessalineNewView* view = ActiveView()) {
        c.hasView = true;
        c.hasSelectedCard = view->SelectedCard() != nullptr;
        c.selectorText = StoredText(view->ShownCategory());
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr || focus->window() != this)
            focus = lastFocus_;
        c.cardListFocused =
            focus != nullptr && focus == static_cast<QWidget*>(ActiveView()->List());
    }
    c.recentFileCount = static_cast<int>(recent_.Size());
    c.textField = TextFieldStateOf(FocusedTextField());
    commands_.AddFactsTo(c);
    return c;
}

void CMainFrame::ScheduleCommandStateUpdate() {
    commandStateTimer_->start();
}

void CMainFrame::UpdateCommandState() {
    const CommandContext context = CurrentCommandContext();
    for (QAction* a : actions_->All())
        a->setEnabled(commands_.IsEnabled(CFrameActions::CommandOf(a), context));
    // Undo and Redo name what they would undo or redo.
    for (CommandId id : {CommandId::EditUndo, CommandId::EditRedo})
        Action(id)->setText(QString::fromStdString(UndoRedoMenuText(id, context)));
    // The bar lists and searches cards: a locked document has none to offer.
    categoryBar_->setEnabled(!context.documentLocked);
    Action(CommandId::ViewToolbar)->setChecked(!toolBar_->isHidden());
    Action(CommandId::ViewStatusBar)->setChecked(!statusBar()->isHidden());
}

// ---------------------------------------------------------------------------------------
// Commands

void CMainFrame::OnCommand(CommandId command) {
    if (!commands_.IsBound(command)) {
        emit CommandNotHandled(command);
        return;
    }
    // A greyed command does nothing, however it was reached.
    UpdateCommandState();
    if (!commands_.IsEnabled(command, CurrentCommandContext()))
        return;
    commands_.Run(command);
    ScheduleCommandStateUpdate();
}

// ---------------------------------------------------------------------------------------
// Documents

QList<CChildFrame*> CMainFrame::Children() const {
    QList<CChildFrame*> out;
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* child = qobject_cast<CChildFrame*>(w))
            out.append(child);
    }
    return out;
}

CChildFrame* CMainFrame::ActiveChild() const {
    // The current child stays current while a dialog has the keys.
    return qobject_cast<CChildFrame*>(mdi_->currentSubWindow());
}

CTessalineNewView* CMainFrame::ActiveView() const {
    CChildFrame* child = ActiveChild();
    return child ? child->View() : nullptr;
}

CTessalineNewDoc* CMainFrame::ActiveDocument() const {
    CChildFrame* child = ActiveChild();
    return child ? &child->Document() : nullptr;
}

std::unique_ptr<CTessalineNewDoc> CMainFrame::MakeDocument() {
    return std::make_unique<CTessalineNewDoc>(ui_, profile_, this);
}

CChildFrame* CMainFrame::FindChildFor(const QString& path) const {
    const QFileInfo wanted(path);
    for (CChildFrame* child : Children()) {
        const QString own = child->Document().PathName();
        if (own.isEmpty())
            continue;
        const QFileInfo info(own);
        const bool same = info.exists() && wanted.exists()
                              ? info.canonicalFilePath() == wanted.canonicalFilePath()
                              : info.absoluteFilePath() == wanted.absoluteFilePath();
        if (same)
            return child;
    }
    return nullptr;
}

CChildFrame* CMainFrame::AddChild(std::unique_ptr<CTessalineNewDoc> doc) {
    auto* child = new CChildFrame(std::move(doc), profile_);
    mdi_->addSubWindow(child);
    CTessalineNewDoc* d = &child->Document();
    CTessalineNewView* view = child->View();
    QPointer<CChildFrame> guard(child);
    connect(d, &CTessalineNewDoc::EncryptionChanged, child, [guard](int state) {
        if (guard)
            guard->ShowEncryptionIcon(state);
    });
    connect(d, &CTessalineNewDoc::LayoutChanged, this, &CMainFrame::ShowLayout);
    connect(d, &CTessalineNewDoc::ModifiedChanged, this, &CMainFrame::ScheduleCommandStateUpdate);
    connect(d, &CTessalineNewDoc::ModifiedChanged, this, [this, d] {
        if (d == ActiveDocument())
            UpdateFrameTitle();
    });
    connect(d, &CTessalineNewDoc::TitleChanged, this, [this, d] {
        if (d == ActiveDocument())
            UpdateFrameTitle();
    });
    connect(d, &CTessalineNewDoc::LockChanged, this, &CMainFrame::ScheduleCommandStateUpdate);
    // What was typed into the search box may be a secret: a lock wipes it.
    connect(d, &CTessalineNewDoc::LockChanged, this, [this, view](bool locked) {
        if (locked)
            categoryBar_->ForgetSearches(view);
    });
    connect(d, &CTessalineNewDoc::ViewsNeedUpdate, this, &CMainFrame::ScheduleCommandStateUpdate);
    connect(d, &CTessalineNewDoc::ViewsNeedUpdateTo, this, &CMainFrame::ScheduleCommandStateUpdate);
    connect(view, &CTessalineNewView::ItemCountChanged, this, [this, view](int count) {
        if (view == ActiveView())
            ShowItemCount(count);
    });
    connect(view, &CTessalineNewView::SelectionChanged, this,
            &CMainFrame::ScheduleCommandStateUpdate);
    // A double click edits the clicked card.
    connect(view, &CTessalineNewView::CardActivated, this, [this, view](CCard* card) {
        if (card != nullptr)
            view->SelectCard(card);
        OnCommand(CommandId::EditCard);
    });
    // Enter and Delete in the list: the same as Ctrl+E and Ctrl+D, refusals included.
    connect(view, &CTessalineNewView::EditRequested, this,
            [this] { OnCommand(CommandId::EditCard); });
    connect(view, &CTessalineNewView::DeleteRequested, this,
            [this] { OnCommand(CommandId::DeleteCard); });
    connect(view, &CTessalineNewView::ContextMenuRequested, this,
            [this, view](const QPoint& globalPos) { emit CardListContextMenu(view, globalPos); });
    connect(child, &CChildFrame::DocumentClosed, this, &CMainFrame::OnChildClosed);
    RebuildMenuBar();
    UpdateCentralPage();
    child->showMaximized();
    mdi_->setActiveSubWindow(child);
    // The area does not report a child activated while the window itself is inactive.
    OnChildActivated(child);
    return child;
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& path) {
    if (CChildFrame* open = FindChildFor(path)) {
        mdi_->setActiveSubWindow(open);
        return open;
    }
    // A card can hold another data file's password: with one selected, the password
    // prompt starts with it.
    QString prefill;
    if (const CTessalineNewView* view = ActiveView()) {
        if (const CCard* card = view->SelectedCard())
            prefill = DisplayText(card->Password());
    }
    std::unique_ptr<CTessalineNewDoc> doc = MakeDocument();
    if (!doc->OnOpenDocument(path, prefill))
        return nullptr;
    return AddChild(std::move(doc));
}

void CMainFrame::OpenDocumentFile(const std::string& path) {
    OpenDocumentFile(QString::fromStdString(path));
}

void CMainFrame::OpenNamedFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        OpenDocumentFile(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void CMainFrame::ReceiveHandedOverFiles(const QStringList& paths) {
    pendingHandOffs_ << paths;
    // An empty list still asks for the window: a marker keeps the request.
    if (paths.isEmpty())
        pendingHandOffs_ << QString();
    OpenPendingHandOffs();
}

void CMainFrame::OpenPendingHandOffs() {
    if (pendingHandOffs_.isEmpty())
        return;
    // A dialog of ours is open (a card being edited, a password asked for): the files wait
    // until it is closed, so that nothing changes under it.
    if (QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget()) {
        QTimer::singleShot(250, this, &CMainFrame::OpenPendingHandOffs);
        return;
    }
    std::vector<std::string> paths;
    for (const QString& p : std::exchange(pendingHandOffs_, {}))
        if (!p.isEmpty())
            paths.push_back(p.toStdString());
    OpenNamedFiles(paths);
}

void CMainFrame::ImportFromWelcome() {
    if (!commands_.IsBound(CommandId::FileImportCsv))
        return;
    QPointer<CChildFrame> made;
    if (ActiveDocument() == nullptr || ActiveDocument()->IsLocked())
        made = NewDocument();
    OnCommand(CommandId::FileImportCsv);
    // Nothing imported into the document made for it: it goes again.
    if (made && !made->Document().IsModified() && !made->Document().HasCards())
        made->CloseWithoutAsking();
}

CChildFrame* CMainFrame::NewDocument() {
    std::unique_ptr<CTessalineNewDoc> doc = MakeDocument();
    doc->OnNewDocument();
    return AddChild(std::move(doc));
}

void CMainFrame::OnChildActivated(QMdiSubWindow* window) {
    auto* child = qobject_cast<CChildFrame*>(window);
    // The area reports no child while another window has the keys; the current child
    // stays the one the bars follow.
    if (!child)
        child = ActiveChild();
    if (child == lastActive_ && child) {
        ScheduleCommandStateUpdate();
        return;
    }
    lastActive_ = child;
    UpdateFrameTitle();
    categoryBar_->SetActiveView(child ? child->View() : nullptr);
    if (child) {
        ShowEncryptionIcon(child->Document().EncryptionState());
        child->View()->AnnounceItemCount();
    } else {
        itemCountPane_->clear();
    }
    ShowLayout();
    ScheduleCommandStateUpdate();
}

void CMainFrame::OnChildClosed(CChildFrame* child) {
    // The child is still in the area until it is deleted: look past it.
    QTimer::singleShot(0, this, [this] {
        lastActive_ = nullptr;
        OnChildActivated(mdi_->currentSubWindow());
        RebuildMenuBar();
        UpdateCentralPage();
        UpdateFrameTitle();
    });
    // What was typed into the search box may be a secret: it goes with the document.
    categoryBar_->ForgetSearches(child->View());
    // The bar lets go of the list before the list goes.
    if (categoryBar_->ActiveView() == child->View())
        categoryBar_->SetActiveView(nullptr);
    if (lastActive_ == child)
        lastActive_ = nullptr;
}

void CMainFrame::OpenMostRecentFile() {
    if (recent_.Size() == 0)
        return;
    const QString path = QString::fromStdString(recent_.Entries().front());
    if (QFileInfo::exists(path))
        OpenDocumentFile(path);
}

void CMainFrame::OpenRecentFile(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= recent_.Size())
        return;
    const std::string path = recent_.Entries()[static_cast<std::size_t>(index)];
    if (OpenDocumentFile(QString::fromStdString(path)))
        return;
    // A file that is gone leaves the list; one that only failed to open (a mistyped
    // password) stays for the next try.
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        recent_.Remove(static_cast<std::size_t>(index));
        recent_.Save(profile_);
        UpdateRecentFileActions();
    }
}

void CMainFrame::AddToRecentFiles(const std::string& path) {
    recent_.Add(QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString());
    recent_.Save(profile_);
    UpdateRecentFileActions();
}

bool CMainFrame::SaveAllModified() {
    for (CChildFrame* child : Children()) {
        if (!child->Document().SaveModified()) {
            mdi_->setActiveSubWindow(child);
            return false;
        }
    }
    return true;
}

void CMainFrame::CloseAllDocuments() {
    // The bar lets go of the list before the list goes.
    lastActive_ = nullptr;
    categoryBar_->SetActiveView(nullptr);
    for (CChildFrame* child : Children()) {
        child->CloseWithoutAsking();
        // Gone at once, so that what comes next finds no document open.
        delete child;
    }
    itemCountPane_->clear();
    RebuildMenuBar();
    UpdateCentralPage();
    UpdateFrameTitle();
    ScheduleCommandStateUpdate();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!SaveAllModified()) {
        event->ignore();
        return;
    }
    SaveWindowGeometry();
    CloseAllDocuments();
    autoSaveTimer_->stop();
    event->accept();
}

// ---------------------------------------------------------------------------------------
// IDocumentHost

std::string CMainFrame::CurrentCategoryText() const {
    return categoryBar_->CurrentCategoryText().toStdString();
}

void CMainFrame::SelectCategoryStartingWith(const std::string& text) {
    categoryBar_->SelectCategoryStartingWith(QString::fromStdString(text));
}

void CMainFrame::RemoveSearchResultsEntry() {
    categoryBar_->RemoveSearchResultsEntry();
}

void CMainFrame::RestartAutoSaveTimer() {
    StartAutoSaveTimer(1);
}

void CMainFrame::ShowStatusText(const std::string& text) {
    statusBar()->showMessage(QString::fromStdString(text));
}

void CMainFrame::ShowEncryptionState() {
    if (const CTessalineNewDoc* doc = ActiveDocument())
        ShowEncryptionIcon(doc->EncryptionState());
    ShowLayout();
}

// ---------------------------------------------------------------------------------------
// Automatic save

void CMainFrame::StartAutoSaveTimer(int minutesPerTick) {
    const std::string text = profile_.GetText(prefs::kInternetSection, prefs::kAutomaticSave,
                                              prefs::kAutomaticSaveDefault);
    autoSave_.SetMinutes(ParseAutoSaveMinutes(text));
    autoSaveTimer_->start(std::max(1, minutesPerTick) * kMillisecondsPerMinute);
}

bool CMainFrame::AutoSaveTimerActive() const {
    return autoSaveTimer_->isActive();
}

int CMainFrame::AutoSaveTimerInterval() const {
    return autoSaveTimer_->interval();
}

void CMainFrame::OnAutoSaveTick() {
    // A save that asks the user something runs a dialog, and the timer goes on ticking
    // meanwhile: those ticks must not start a second save.
    if (autoSaving_)
        return;
    CTessalineNewDoc* doc = ActiveDocument();
    if (!autoSave_.Tick(doc != nullptr, doc && doc->IsModified()))
        return;
    autoSaving_ = true;
    doc->AutoSave();
    autoSaving_ = false;
    ScheduleCommandStateUpdate();
}

// ---------------------------------------------------------------------------------------
// Handheld set-up

bool CMainFrame::CreateHandheldDocument(const std::string& path, const std::string& password) {
    CChildFrame* child = NewDocument();
    if (!child)
        return false;
    CTessalineNewDoc& doc = child->Document();
    doc.Model().SetEncryptionPassword(password);
    if (!doc.Model().WriteNewEncryptedFile(path))
        return false;
    // The file is the document's own from now on, so Save writes it again.
    doc.Model().SetPathName(path);
    doc.SetTitle(QString::fromStdString(path));
    return true;
}

}  // namespace tessaline
