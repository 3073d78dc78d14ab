#pragma once
// The bar above the card lists: the category selector (1000), the search box (1028)
// and the search button (1030). It steers the active card list view; with none, its
// controls are disabled.

#include <QPointer>
#include <QToolBar>

#include "core/views/category_search.h"

class QAbstractButton;
class QComboBox;
class QTimer;
class QToolButton;

namespace tessaline {

class CTessalineNewView;
class IUserAnswers;

class CCategoryBar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int kSelectorId = 1000;
    static constexpr int kSearchBoxId = 1028;
    static constexpr int kSearchButtonId = 1030;
    // How long typing in the search box pauses before it searches by itself.
    static constexpr int kTypingPauseMs = 400;

    explicit CCategoryBar(IUserAnswers& ui, QWidget* parent = nullptr);

    // The view the bar drives; nullptr = no document.
    void SetActiveView(CTessalineNewView* view);
    CTessalineNewView* ActiveView() const { return view_; }

    QString CurrentCategoryText() const;
    // Selects the first entry beginning with text, looking from entry 1 on and entry 0
    // last. False when none begins with it.
    bool SelectCategoryStartingWith(const QString& text);
    void RemoveSearchResultsEntry();
    void FocusSearchBox();
    // Escape in the search box, or the box emptied: the text goes and the list shows the
    // category it showed before the search.
    void ClearSearch();
    // The search texts may hold a secret the user typed: a list's own text, the box's
    // text while it is the active list, and the box's list of earlier texts are wiped
    // (its document locked or closed).
    void ForgetSearches(CTessalineNewView* view);

    // What a user picking an entry of the selector does.
    void OnCategorySelected(const QString& text);
    // What the search button and Enter do with the search box's text: search now and
    // remember the text in the box's list.
    void Search(const QString& text);

    QComboBox* Selector() { return selector_; }
    QComboBox* SearchBox() { return searchBox_; }
    QAbstractButton* SearchButton();

signals:
    void CategoryChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SelectExact(const QString& text);
    // Searches a text that is not empty; remember adds it to the box's list.
    void RunSearch(const QString& text, bool remember);
    void UpdateEnabled();
    // Searches now when typing left a search waiting, then gives the card list the keys.
    void MoveIntoList(bool selectNext);

    IUserAnswers& ui_;
    QComboBox* selector_;
    QComboBox* searchBox_;
    QToolButton* searchButton_;
    QTimer* typingPause_;
    SearchHistory history_;
    QPointer<CTessalineNewView> view_;
    const QObject* viewObject_ = nullptr;  // the same list, for comparing while it is destroyed
};

}  // namespace tessaline
