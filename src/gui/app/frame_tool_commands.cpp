#include "gui/app/frame_tool_commands.h"

#include <QDateTime>
#include <QPointer>
#include <QStatusBar>

#include "core/cards/categories.h"
#include "core/commands/command_ids.h"
#include "gui/app/about_dialog.h"
#include "gui/app/frame_lock_commands.h"
#include "gui/app/main_frame.h"
#include "gui/document/tessaline_doc.h"
#include "gui/health/password_health_dialog.h"
#include "gui/prefs/pref_property_sheet.h"
#include "gui/views/card_edit_commands.h"
#include "gui/views/category_bar.h"
#include "gui/views/generate_password_command.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

CFrameToolCommands::CFrameToolCommands(CMainFrame& frame, IUserAnswers& ui, IProfile& profile)
    : QObject(&frame), frame_(frame), ui_(ui), profile_(profile) {
    setObjectName(QStringLiteral("toolCommands"));
    CommandRouter& commands = frame_.Commands();
    commands.Bind(CommandId::Preferences, this, &CFrameToolCommands::Preferences);
    commands.Bind(CommandId::GeneratePassword, this, &CFrameToolCommands::GeneratePassword);
    commands.Bind(CommandId::PasswordHealth, this, &CFrameToolCommands::PasswordHealth);
    commands.Bind(CommandId::AppAbout, this, &CFrameToolCommands::About);
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

void CFrameToolCommands::PasswordHealth() {
    const QPointer<CTessalineNewDoc> doc = frame_.ActiveDocument();
    if (doc == nullptr || frame_.ActiveView() == nullptr)
        return;
    const auto cards = [doc]() -> const CCardCollection* {
        return doc && !doc->IsLocked() ? &doc->Cards() : nullptr;
    };
    const std::int64_t nowMs = QDateTime::currentMSecsSinceEpoch();
    CPasswordHealthDialog dialog(cards, nowMs, &frame_);
    // A row opens its card: its category is shown, the card selected and edited.
    dialog.openCard = [this, doc](const CCard* card) {
        CTessalineNewView* view = frame_.ActiveView();
        if (!doc || doc->IsLocked() || view == nullptr || &view->Document() != doc)
            return;
        const QString category = QString::fromStdString(CategoryDisplayName(card->Category()));
        if (frame_.CategoryBar()->SelectCategoryStartingWith(category))
            frame_.CategoryBar()->OnCategorySelected(category);
        view->SelectCard(card);
        if (view->SelectedCard() == card)
            OnEditCard(*doc, *view, ui_, profile_);
    };
    dialog.exec();
}

void CFrameToolCommands::About() {
    CAboutDialog dialog(&frame_);
    dialog.exec();
}

}  // namespace tessaline
