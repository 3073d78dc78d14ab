#include "gui/app/frame_actions.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "core/commands/command_ids.h"
#include "core/commands/command_texts.h"
#include "core/commands/menu_layout.h"
#include "gui/app/frame_icons.h"

namespace tessaline {

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The marker the Window menu's list of child windows starts after.
constexpr const char* kWindowListMarker = "windowListStart";

void AddEntries(QMenu& menu, std::span<const MenuEntry> entries, const CFrameActions& actions,
                const std::function<void()>& beforeShow) {
    for (const MenuEntry& e : entries) {
        switch (e.kind) {
            case MenuEntryKind::Command:
                if (QAction* a = actions.Action(e.command))
                    menu.addAction(a);
                break;
            case MenuEntryKind::Separator:
                menu.addSeparator();
                break;
            case MenuEntryKind::SubMenu: {
                QMenu* sub = menu.addMenu(Q(e.text));
                QObject::connect(sub, &QMenu::aboutToShow, sub, beforeShow);
                AddEntries(*sub, e.children, actions, beforeShow);
                break;
            }
            case MenuEntryKind::RecentFiles:
                menu.addAction(actions.EmptyRecentFileAction());
                for (int i = 0; i < kRecentFileCount; ++i)
                    menu.addAction(actions.Action(kCmdFileMru1 + i));
                break;
            case MenuEntryKind::WindowList:
                menu.addSeparator()->setObjectName(kWindowListMarker);
                break;
        }
    }
}

}  // namespace

CFrameActions::CFrameActions(QObject* parent) : QObject(parent) {
    for (const CommandText& t : AllCommandTexts()) {
        QString text = Q(t.menuText);
        QAction* a = Make(t.command, text, Q(t.prompt), Q(t.toolTip));
        if (const char* icon = ToolbarIconPath(t.command))
            a->setIcon(QIcon(QString::fromUtf8(icon)));
    }
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = Make(kCmdFileMru1 + i, QString(), Q(kRecentFilePrompt), QString());
        a->setVisible(false);
    }
    emptyRecent_ = new QAction(Q(kEmptyRecentFileText), this);
    emptyRecent_->setEnabled(false);
    // The toolbar and status bar entries show whether their bar is shown.
    Action(kCmdViewToolbar)->setCheckable(true);
    Action(kCmdViewStatusBar)->setCheckable(true);
}

QAction* CFrameActions::Make(int command, const QString& text, const QString& prompt,
                             const QString& toolTip) {
    auto* a = new QAction(text, this);
    a->setData(command);
    a->setStatusTip(prompt);
    // Actions are shown with the texts given here; the keys are the window's own.
    a->setIconVisibleInMenu(false);
    if (!toolTip.isEmpty())
        a->setToolTip(toolTip);
    a->setObjectName(QStringLiteral("cmd%1").arg(command));
    connect(a, &QAction::triggered, this, [this, command] { emit CommandTriggered(command); });
    actions_[command] = a;
    return a;
}

QAction* CFrameActions::Action(int command) const {
    auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

std::vector<QAction*> CFrameActions::All() const {
    std::vector<QAction*> out;
    out.reserve(actions_.size());
    for (const auto& [id, a] : actions_)
        out.push_back(a);
    return out;
}

int CFrameActions::CommandOf(const QAction* action) {
    if (!action)
        return 0;
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

void CFrameActions::BuildMenuBar(QMenuBar& bar, bool haveDocument,
                                 const std::function<void()>& beforeShow,
                                 const std::function<void(QMenu&)>& fillWindowList) const {
    bar.clear();
    for (const MenuDefinition& definition : MenuBarLayout(haveDocument)) {
        QMenu* menu = bar.addMenu(Q(definition.title));
        AddEntries(*menu, definition.entries, *this, beforeShow);
        const bool hasWindowList = menu->findChild<QAction*>(kWindowListMarker) != nullptr;
        QObject::connect(menu, &QMenu::aboutToShow, menu,
                         [menu, beforeShow, fillWindowList, hasWindowList] {
                             if (hasWindowList && fillWindowList) {
                                 // Everything after the marker is the list of the previous opening.
                                 QList<QAction*> all = menu->actions();
                                 bool after = false;
                                 for (QAction* a : all) {
                                     if (after) {
                                         menu->removeAction(a);
                                         if (a->parent() == menu)
                                             a->deleteLater();
                                     }
                                     if (a->objectName() == QLatin1String(kWindowListMarker))
                                         after = true;
                                 }
                                 fillWindowList(*menu);
                             }
                             if (beforeShow)
                                 beforeShow();
                         });
    }
}

void CFrameActions::BuildToolBar(QToolBar& bar) const {
    bar.clear();
    for (int id : ToolbarLayout()) {
        if (id == 0) {
            bar.addSeparator();
        } else if (QAction* a = Action(id)) {
            bar.addAction(a);
        }
    }
}

}  // namespace tessaline
