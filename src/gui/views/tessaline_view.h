#pragma once
// The card list of one document: a report list of the cards the category selector names,
// with the seven columns, cells made on demand, column-click sorting and the selected
// card that other commands ask for.

#include <QString>
#include <QWidget>
#include <array>

class QTreeView;

namespace tessaline {

class CCard;
class CardTableModel;
class CTessalineNewDoc;
class IProfile;

class CTessalineNewView : public QWidget {
    Q_OBJECT
public:
    // Builds the columns and lists the remembered category (the initial update).
    CTessalineNewView(CTessalineNewDoc& doc, IProfile& profile, QWidget* parent = nullptr);
    ~CTessalineNewView() override;

    CTessalineNewDoc& Document() { return doc_; }

    // Lists a display name, "Show All" or "Search Results".
    void ShowCategory(const QString& text);
    // Gathers and searches the document and lists "Search Results".
    void ShowSearchResults(const QString& text);
    // The text the list shows now.
    QString ShownCategory() const;
    // The titles of columns 0, 1, 2 and 5 from a category text's labels ("Show All" and
    // "Search Results" take WWW Sites'); a text that names nothing leaves them.
    void SetColumnTitlesFor(const QString& text);

    CCard* SelectedCard() const;
    void SelectCard(const CCard* card);
    int ItemCount() const;
    // Emits ItemCountChanged again for the shown text (when it names something).
    void AnnounceItemCount();

    QTreeView* List() { return list_; }
    CardTableModel* Model() { return model_; }

    // Lists again: the hint when given, else the remembered category.
    void OnUpdate();
    void OnUpdate(const QString& hint);

signals:
    void ItemCountChanged(int count);
    void SelectionChanged();
    void CardActivated(CCard* card);  // double click
    // Enter and Delete pressed in the list: edit or delete the selected card.
    void EditRequested();
    void DeleteRequested();
    // The list now shows text; the category selector follows it.
    void CategoryShown(const QString& text);
    // Right click on the list, at a global position.
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A new palette (a dark theme) gets a blue that can be read on it.
    void changeEvent(QEvent* event) override;

private:
    void ListText(const QString& text);
    void ShowSortIndicator();
    void ApplyColumnWidths();
    // Widens the last column to the list's right edge when the columns leave room there.
    void FillWidth();
    void ApplyTextColour();

    CTessalineNewDoc& doc_;
    IProfile& profile_;
    CardTableModel* model_;
    QTreeView* list_ = nullptr;
    std::array<int, 7> widths_;
    bool applyingWidths_ = false;
};

}  // namespace tessaline
