#pragma once
// The rows of one card list as a Qt table model: each row refers to a card of the
// document (never owning it), every cell's text is made when the view asks for it.

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

namespace tessaline {

class CCard;
class CCardCollection;
class IProfile;

class CardTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CardTableModel(IProfile& profile, QObject* parent = nullptr);

    // Lists the cards of a category text (a display name, "Show All", "Search Results"),
    // ordered by name; "Show All" and "Search Results" add the "Category" column.
    void ShowCategory(const CCardCollection& cards, const QString& text);
    // Drops every row (the collection they refer to is going away).
    void Clear();
    // A column click: flips the shared sort direction and orders the rows by column. The
    // column and direction stay for the next listings (another category included).
    void SortByColumn(int column);
    // The column the rows are ordered by (the names until a column is clicked) and
    // whether downwards.
    int SortColumn() const { return sortColumn_; }
    bool SortedDescending() const { return sortDescending_; }

    // The titles of columns 0, 1, 2 and 5 for a category text (listing sets them too).
    void SetColumnTitlesFor(const QString& text);

    const QString& ShownText() const { return shownText_; }
    // The recycle bin is listed: its columns are the name, the deletion time and the
    // category.
    bool ListsRecycleBin() const { return recycled_; }
    CCard* CardAt(int row) const;
    int RowOf(const CCard* card) const;  // -1 when not listed
    const std::vector<CCard*>& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    void SetTitles(const std::array<std::string, 4>& titles);

    IProfile& profile_;
    std::vector<CCard*> rows_;
    QString shownText_;
    int columns_;
    QStringList titles_;
    int sortColumn_;
    bool recycled_ = false;  // the recycle bin is listed
    bool sortDescending_ = false;
};

}  // namespace tessaline
