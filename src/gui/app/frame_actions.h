#pragma once
// The main window's commands as actions: one action per command id, carrying the id, its
// menu text, status prompt, tool tip and picture; and the menu bars and toolbar made of
// them.

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;

namespace tessaline {

class CFrameActions : public QObject {
    Q_OBJECT
public:
    explicit CFrameActions(QObject* parent = nullptr);

    // The action of a command id; nullptr for an unknown id.
    QAction* Action(int command) const;
    // Every action, recent-file entries included.
    std::vector<QAction*> All() const;
    // The greyed "Recent File" entry shown while the recent-file list is empty.
    QAction* EmptyRecentFileAction() const { return emptyRecent_; }

    // Fills a menu bar with the menus for the state given. beforeShow runs whenever one
    // of its menus is about to open; fillWindowList appends the open child windows to
    // the Window menu as it opens.
    void BuildMenuBar(QMenuBar& bar, bool haveDocument, const std::function<void()>& beforeShow,
                      const std::function<void(QMenu&)>& fillWindowList) const;
    void BuildToolBar(QToolBar& bar) const;

    // The command id an action carries, or 0.
    static int CommandOf(const QAction* action);

signals:
    // Any of the actions was chosen.
    void CommandTriggered(int command);

private:
    QAction* Make(int command, const QString& text, const QString& prompt, const QString& toolTip);

    std::map<int, QAction*> actions_;
    QAction* emptyRecent_ = nullptr;
};

}  // namespace tessaline
