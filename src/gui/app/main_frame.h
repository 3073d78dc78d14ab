#pragma once
// The main window: the child windows of the open documents in one area, the menu bar (a
// short one while no document is open), toolbar, category bar and status bar; the
// commands of the window, the recent-file list and the automatic save.

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/app/autosave.h"
#include "core/app/handheld_setup.h"
#include "core/app/recent_files.h"
#include "core/commands/command_ids.h"
#include "core/commands/command_state.h"
#include "core/document/document_host.h"
#include "gui/app/command_router.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolBar;

namespace tessaline {

class CAcceleratorFilter;
class CCategoryBar;
class CChildFrame;
class CFrameActions;
class CTessalineNewDoc;
class CTessalineNewView;
class CWelcomePanel;
class IProfile;
class IUserAnswers;

class CMainFrame : public QMainWindow, public IDocumentHost, public IHandheldSetupHost {
    Q_OBJECT
public:
    static constexpr int kInitialWidth = 700;
    static constexpr int kInitialHeight = 480;

    // ui answers every question of the window and its documents; both outlive the frame.
    CMainFrame(IUserAnswers& ui, IProfile& profile, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // --- Commands -------------------------------------------------------------------
    // The one place every command goes through: menus, toolbar, accelerators, the card
    // list's context menu and the welcome panel. A greyed command does nothing.
    void OnCommand(CommandId command);
    // Where the command groups bind their work.
    CommandRouter& Commands() { return commands_; }
    QAction* Action(CommandId command) const;
    // Enables and disables every action from the window's state now.
    void UpdateCommandState();
    CommandContext CurrentCommandContext() const;
    // The text field Undo, Cut, Copy and Paste act on: the one that has the focus in
    // this window, or had it last before a menu or button took it.
    QWidget* FocusedTextField() const;

    // --- Documents ------------------------------------------------------------------
    // Opens a data file in a new child window (or brings up the one that has it already).
    // nullptr when the document could not be opened.
    CChildFrame* OpenDocumentFile(const QString& path);
    // A new untitled document.
    CChildFrame* NewDocument();
    // Files named on the command line or handed over by a later start: each opens as
    // File > Open opens it, and the window comes to the front.
    void OpenNamedFiles(const std::vector<std::string>& paths);
    // As OpenNamedFiles, but waits while a dialog is open (a later start may come at any
    // time).
    void ReceiveHandedOverFiles(const QStringList& paths);
    // The welcome shown while no document is open.
    CWelcomePanel* WelcomePanel() const { return welcome_; }
    // "Import from another password manager": the import runs on a new document when
    // none is open; one that took no cards is closed again.
    void ImportFromWelcome();
    CChildFrame* ActiveChild() const;
    CTessalineNewView* ActiveView() const;
    CTessalineNewDoc* ActiveDocument() const;
    QList<CChildFrame*> Children() const;
    void OpenMostRecentFile();
    // Offers every modified document for saving; false once the user cancels or a save
    // fails.
    bool SaveAllModified() override;
    void CloseAllDocuments() override;

    // --- Bars -----------------------------------------------------------------------
    // "Items: n" in the status bar.
    void ShowItemCount(int count);
    QString ItemCountText() const;
    // The active child window's icon: 1 encrypted, 0 plain.
    void ShowEncryptionIcon(int state);
    // How the active document is stored ("Sealed", ...), in the status bar.
    void ShowLayout();
    QString LayoutText() const;
    void ShowCategoryBar();
    CCategoryBar* CategoryBar() const { return categoryBar_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QMdiArea* MdiArea() const { return mdi_; }
    // The title follows the active document: "NAME[*] — Tessaline".
    void UpdateFrameTitle();
    // The status bar's message pane (e.g. "NAME has unsaved changes and was not locked").
    void ShowStatusMessage(const QString& text);
    QString StatusMessage() const;

    // --- Automatic save -------------------------------------------------------------
    // Starts (or starts again) the one-minute tick, reading the minutes from the settings.
    void StartAutoSaveTimer(int minutesPerTick = 1);
    // One tick: counts, and saves the active document when its time has come.
    void OnAutoSaveTick();
    bool AutoSaveTimerActive() const;
    int AutoSaveTimerInterval() const;
    const AutoSaveCounter& AutoSaveCount() const { return autoSave_; }

    // --- Recent files ---------------------------------------------------------------
    const RecentFileList& RecentFiles() const { return recent_; }
    void OpenRecentFile(int index);

    // IDocumentHost
    std::string CurrentCategoryText() const override;
    void SelectCategoryStartingWith(const std::string& text) override;
    void RemoveSearchResultsEntry() override;
    void RestartAutoSaveTimer() override;
    void ShowEncryptionState() override;
    void AddToRecentFiles(const std::string& path) override;
    void ShowStatusText(const std::string& text) override;

    // IHandheldSetupHost
    void OpenDocumentFile(const std::string& path) override;
    bool CreateHandheldDocument(const std::string& path, const std::string& password) override;

signals:
    // A command that nothing gave its work was chosen.
    void CommandNotHandled(CommandId command);
    // The user right-clicked a card list, at a global position.
    void CardListContextMenu(CTessalineNewView* view, const QPoint& globalPos);

protected:
    // Closing the window offers each modified document for saving first.
    void closeEvent(QCloseEvent* event) override;
    // Keeps the title the frame's own when a maximised child window rewrites it.
    void changeEvent(QEvent* event) override;

private:
    void CreateBars();
    void RestoreWindowGeometry();
    void SaveWindowGeometry();
    void UpdateCentralPage();
    void OpenPendingHandOffs();
    void RebuildMenuBar();
    void FillWindowList(QMenu& menu);
    void UpdateRecentFileActions();
    CChildFrame* AddChild(std::unique_ptr<CTessalineNewDoc> doc);
    std::unique_ptr<CTessalineNewDoc> MakeDocument();
    CChildFrame* FindChildFor(const QString& path) const;
    void OnChildActivated(QMdiSubWindow* window);
    void OnChildClosed(CChildFrame* child);
    void ScheduleCommandStateUpdate();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void ApplyLastSelectedCategory();

    // The frame's own commands (main_frame_commands.cpp).
    void BindOwnCommands();
    void FileOpen();
    void CloseActiveDocument();
    void SaveActiveDocument();
    void SaveActiveDocumentAs();
    void EncryptActiveDocument();
    void ToggleToolBar();
    void ToggleStatusBar();
    void ArrangeIcons();
    // Next Pane and Previous Pane: the keys go from the category bar to the active card
    // list and back.
    void SwitchPane(CommandId command);

    IUserAnswers& ui_;
    IProfile& profile_;
    CFrameActions* actions_;
    CAcceleratorFilter* accelerators_;
    QMdiArea* mdi_;
    QStackedWidget* central_;
    CWelcomePanel* welcome_;
    QStringList pendingHandOffs_;
    bool settingTitle_ = false;
    QToolBar* toolBar_ = nullptr;
    CCategoryBar* categoryBar_ = nullptr;
    QLabel* itemCountPane_ = nullptr;
    QLabel* layoutPane_ = nullptr;
    QTimer* autoSaveTimer_;
    QTimer* commandStateTimer_;
    AutoSaveCounter autoSave_;
    RecentFileList recent_{static_cast<std::size_t>(kRecentFileCount)};
    CommandRouter commands_;
    QPointer<QWidget> lastTextField_;
    // The widget of this window that last had the keys (the card list, a field...).
    QPointer<QWidget> lastFocus_;
    QPointer<CChildFrame> lastActive_;
    int menuHasDocument_ = -1;  // which menu bar is up: -1 none yet, 0 bare, 1 documents
    bool autoSaving_ = false;
};

}  // namespace tessaline
