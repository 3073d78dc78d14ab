#include "gui/views/category_bar.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

#include "core/cards/categories.h"
#include "core/platform/user_answers.h"
#include "core/views/card_list_model.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

namespace {
// Each list keeps its own search text and the category it showed before its search.
constexpr const char* kSearchTextProperty = "tessalineSearchText";
constexpr const char* kCategoryBeforeSearchProperty = "tessalineCategoryBeforeSearch";

QString SearchResultsText() {
    return QString::fromLatin1(kSearchResults.data(), kSearchResults.size());
}

std::vector<std::string> EntriesOf(const QComboBox* box) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(box->count()));
    for (int i = 0; i < box->count(); ++i)
        entries.push_back(box->itemText(i).toStdString());
    return entries;
}
}  // namespace

CCategoryBar::CCategoryBar(IUserAnswers& ui, QWidget* parent)
    : QToolBar(QStringLiteral("Category Bar"), parent), ui_(ui) {
    setObjectName(QStringLiteral("categoryBar"));
    setMovable(false);
    setFloatable(false);

    addWidget(new QLabel(QStringLiteral("Category:"), this));
    selector_ = new QComboBox(this);
    selector_->setObjectName(QStringLiteral("selector1000"));
    selector_->setProperty("commandId", kSelectorId);
    selector_->setEditable(false);
    selector_->setMaxVisibleItems(18);
    for (const std::string& entry : CategorySelectorEntries())
        selector_->addItem(QString::fromStdString(entry));
    selector_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    addWidget(selector_);
    addSeparator();

    addWidget(new QLabel(QStringLiteral("Search:"), this));
    searchBox_ = new QComboBox(this);
    searchBox_->setObjectName(QStringLiteral("search1028"));
    searchBox_->setProperty("commandId", kSearchBoxId);
    searchBox_->setEditable(true);
    // The list is kept in order by the search history, not by the box.
    searchBox_->setInsertPolicy(QComboBox::NoInsert);
    // Typing never completes to an earlier text: the search is for what was typed.
    searchBox_->setCompleter(nullptr);
    searchBox_->setMinimumContentsLength(20);
    searchBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Keys reach the box's text field when typed, the box itself when sent to it.
    searchBox_->lineEdit()->installEventFilter(this);
    searchBox_->installEventFilter(this);
    addWidget(searchBox_);

    searchButton_ = new QToolButton(this);
    searchButton_->setObjectName(QStringLiteral("button1030"));
    searchButton_->setProperty("commandId", kSearchButtonId);
    // The main frame gives the button its own picture; until then the style's.
    searchButton_->setIcon(QFile::exists(QStringLiteral(":/icons/search.svg"))
                               ? QIcon(QStringLiteral(":/icons/search.svg"))
                               : style()->standardIcon(QStyle::SP_FileDialogContentsView));
    searchButton_->setToolTip(QStringLiteral("Search"));
    addWidget(searchButton_);

    connect(selector_, &QComboBox::activated, this,
            [this](int index) { OnCategorySelected(selector_->itemText(index)); });
    connect(searchBox_, &QComboBox::activated, this,
            [this](int index) { Search(searchBox_->itemText(index)); });
    connect(searchButton_, &QToolButton::clicked, this,
            [this] { Search(searchBox_->currentText()); });
    // Typing searches by itself once the user pauses; such texts are not remembered in
    // the box's list, only those searched with Enter, the button or the list.
    typingPause_ = new QTimer(this);
    typingPause_->setObjectName(QStringLiteral("typingPause"));
    typingPause_->setSingleShot(true);
    typingPause_->setInterval(kTypingPauseMs);
    connect(searchBox_->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (view_)
            view_->setProperty(kSearchTextProperty, text);
        if (text.isEmpty()) {
            // Emptying the box ends the search.
            typingPause_->stop();
            ClearSearch();
        } else {
            typingPause_->start();
        }
    });
    connect(typingPause_, &QTimer::timeout, this, [this] {
        if (!searchBox_->currentText().isEmpty())
            RunSearch(searchBox_->currentText(), false);
    });
    UpdateEnabled();
}

QAbstractButton* CCategoryBar::SearchButton() {
    return searchButton_;
}

bool CCategoryBar::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the search box searches, whether or not the text is in its list.
    if ((watched == searchBox_->lineEdit() || watched == searchBox_) &&
        event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        const Qt::KeyboardModifiers mods =
            keyEvent->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Search(searchBox_->currentText());
            return true;
        }
        if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
            ClearSearch();
            return true;
        }
        // Tab and Down lead on into the card list (Down also to its next card).
        if ((key == Qt::Key_Tab && keyEvent->modifiers() == Qt::NoModifier) ||
            (key == Qt::Key_Down && mods == Qt::NoModifier)) {
            if (view_) {
                MoveIntoList(key == Qt::Key_Down);
                return true;
            }
        }
    }
    return QToolBar::eventFilter(watched, event);
}

void CCategoryBar::SetActiveView(CTessalineNewView* view) {
    if (view_ == view) {
        UpdateEnabled();
        return;
    }
    if (view_)
        disconnect(view_, &CTessalineNewView::CategoryShown, this, nullptr);
    const bool firstTime = view && !view->property("tessalineBarSeen").toBool();
    view_ = view;
    viewObject_ = view;
    if (view) {
        if (firstTime) {
            // A new list starts without a "Search Results" entry in the selector.
            view->setProperty("tessalineBarSeen", true);
            if (view->ShownCategory() != SearchResultsText())
                RemoveSearchResultsEntry();
        }
        connect(view, &CTessalineNewView::CategoryShown, this, &CCategoryBar::SelectExact);
        // The box shows this list's own search text.
        typingPause_->stop();
        searchBox_->setEditText(view->property(kSearchTextProperty).toString());
        // A list closed while active leaves the bar with nothing to steer.
        // (a widget says so before its guards are cleared, so compare by address; the
        // half-destroyed object must not be used as a view any more).
        connect(view, &QObject::destroyed, this, [this](QObject* gone) {
            if (viewObject_ == gone || view_.isNull()) {
                view_ = nullptr;
                viewObject_ = nullptr;
                UpdateEnabled();
            }
        });
        // The selector names what the active list shows, so every command reading it
        // works on that list.
        SelectExact(view->ShownCategory());
        view->AnnounceItemCount();
    }
    UpdateEnabled();
}

void CCategoryBar::UpdateEnabled() {
    const bool on = view_ != nullptr;
    selector_->setEnabled(on);
    searchBox_->setEnabled(on);
    searchButton_->setEnabled(on);
}

QString CCategoryBar::CurrentCategoryText() const {
    return selector_->currentText();
}

bool CCategoryBar::SelectCategoryStartingWith(const QString& text) {
    const int index = FindEntryStartingWith(EntriesOf(selector_), text.toStdString(), 0);
    if (index < 0)
        return false;
    selector_->setCurrentIndex(index);
    return true;
}

void CCategoryBar::SelectExact(const QString& text) {
    if (text == SearchResultsText() && selector_->findText(text) < 0)
        selector_->addItem(text);
    const int index = FindEntryStartingWith(EntriesOf(selector_), text.toStdString(), -1);
    if (index >= 0)
        selector_->setCurrentIndex(index);
}

void CCategoryBar::RemoveSearchResultsEntry() {
    const int index = selector_->findText(SearchResultsText(), Qt::MatchExactly);
    if (index >= 0)
        selector_->removeItem(index);
}

void CCategoryBar::FocusSearchBox() {
    searchBox_->setFocus(Qt::ShortcutFocusReason);
    searchBox_->lineEdit()->selectAll();
}

void CCategoryBar::OnCategorySelected(const QString& text) {
    emit CategoryChanged(text);
    if (!view_)
        return;
    // A category chosen ends the search; choosing "Search Results" again shows its results.
    if (text != SearchResultsText()) {
        typingPause_->stop();
        searchBox_->setEditText(QString());
        view_->setProperty(kSearchTextProperty, QString());
    }
    view_->SetColumnTitlesFor(text);
    // Every list of the document follows; the active one also hands on its count.
    view_->Document().UpdateAllViews(text);
}

void CCategoryBar::Search(const QString& text) {
    // Searching now: a search waiting for a pause in the typing is not needed any more.
    typingPause_->stop();
    if (!view_)
        return;
    if (text.isEmpty()) {
        ui_.Message(MessageRequest{kEmptySearchMessage, MsgCaption::Application, MsgIcon::Warning,
                                   MsgButtons::Ok});
        return;
    }
    RunSearch(text, true);
}

void CCategoryBar::RunSearch(const QString& text, bool remember) {
    if (!view_)
        return;
    if (const std::optional<std::size_t> at =
            remember ? history_.Add(text.toStdString()) : std::nullopt) {
        searchBox_->insertItem(static_cast<int>(*at), text);
        searchBox_->setEditText(text);
    }
    const QString shown = view_->ShownCategory();
    if (shown != SearchResultsText())
        view_->setProperty(kCategoryBeforeSearchProperty, shown);
    view_->setProperty(kSearchTextProperty, text);
    RemoveSearchResultsEntry();
    selector_->addItem(SearchResultsText());
    selector_->setCurrentIndex(selector_->count() - 1);
    emit CategoryChanged(SearchResultsText());
    view_->ShowSearchResults(text);
}

void CCategoryBar::ClearSearch() {
    typingPause_->stop();
    searchBox_->setEditText(QString());
    if (!view_)
        return;
    view_->setProperty(kSearchTextProperty, QString());
    if (view_->ShownCategory() != SearchResultsText())
        return;
    QString back = view_->property(kCategoryBeforeSearchProperty).toString();
    if (back.isEmpty() || back == SearchResultsText())
        back = QString::fromLatin1(kShowAll.data(), static_cast<qsizetype>(kShowAll.size()));
    OnCategorySelected(back);
}

void CCategoryBar::ForgetSearches(CTessalineNewView* view) {
    typingPause_->stop();
    if (view != nullptr)
        view->setProperty(kSearchTextProperty, QString());
    // The active list's own text stays when another document's searches go.
    const QString kept = view == view_ || view_ == nullptr ? QString() : searchBox_->currentText();
    history_.Clear();
    searchBox_->clear();
    searchBox_->setEditText(kept);
}

void CCategoryBar::MoveIntoList(bool selectNext) {
    if (!view_)
        return;
    if (typingPause_->isActive()) {
        typingPause_->stop();
        if (!searchBox_->currentText().isEmpty())
            RunSearch(searchBox_->currentText(), false);
    }
    QTreeView* list = view_->List();
    list->setFocus(Qt::TabFocusReason);
    if (!selectNext || view_->ItemCount() == 0)
        return;
    // Down steps to the card after the selected one, or to the first.
    const QModelIndex current = list->currentIndex();
    const int row = current.isValid() && view_->SelectedCard() != nullptr
                        ? std::min(current.row() + 1, view_->ItemCount() - 1)
                        : 0;
    const QModelIndex next = list->model()->index(row, 0);
    list->setCurrentIndex(next);
    list->selectionModel()->select(next,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace tessaline
