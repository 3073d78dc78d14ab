#include "gui/views/card_table_model.h"

#include <unordered_map>

#include "core/cards/card.h"
#include "core/cards/card_collection.h"
#include "core/views/card_list_model.h"
#include "core/views/category_search.h"
#include "gui/text/text_codec.h"

namespace tessaline {

CardTableModel::CardTableModel(IProfile& profile, QObject* parent)
    : QAbstractTableModel(parent),
      profile_(profile),
      columns_(kBaseColumnCount),
      sortColumn_(kColumnName) {
    for (const char* title : kInitialColumnTitles)
        titles_ << QString::fromLatin1(title);
}

void CardTableModel::ShowCategory(const CCardCollection& cards, const QString& text) {
    beginResetModel();
    shownText_ = text;
    const std::string stored = text.toStdString();
    rows_ = ListCategoryText(cards, stored);
    recycled_ = stored == kRecycleBin;
    // The order the user chose by a column click stays, whatever is listed now.
    if (sortColumn_ != kColumnName || sortDescending_)
        SortRows(rows_, sortColumn_, sortDescending_, recycled_);
    columns_ = ShowsCategoryColumn(stored) ? kFullColumnCount : kBaseColumnCount;
    // The titles always belong to what is listed.
    SetTitles(ColumnTitlesFor(stored));
    endResetModel();
}

void CardTableModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void CardTableModel::SortByColumn(int column) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<CCard*> kept;
    kept.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        kept.push_back(CardAt(index.row()));

    SortRowsByColumn(rows_, column, recycled_);
    if (ColumnSorts(column)) {
        sortColumn_ = column;
        sortDescending_ = SortDescending();
    }

    if (!before.isEmpty()) {
        std::unordered_map<const CCard*, int> rowOf;
        rowOf.reserve(rows_.size());
        for (std::size_t i = 0; i < rows_.size(); ++i)
            rowOf.emplace(rows_[i], static_cast<int>(i));
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            const auto it = rowOf.find(kept[static_cast<std::size_t>(i)]);
            after << (it == rowOf.end() ? QModelIndex() : index(it->second, before[i].column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CardTableModel::SetColumnTitlesFor(const QString& text) {
    SetTitles(ColumnTitlesFor(text.toStdString()));
    emit headerDataChanged(Qt::Horizontal, 0, kFullColumnCount - 1);
}

void CardTableModel::SetTitles(const std::array<std::string, 4>& titles) {
    for (std::size_t i = 0; i < kTitledColumns.size(); ++i)
        titles_[kTitledColumns[i]] = QString::fromStdString(titles[i]);
    titles_[kColumnModified] = QString::fromLatin1(
        recycled_ ? kDeletedColumnTitle : kInitialColumnTitles[kColumnModified]);
}

CCard* CardTableModel::CardAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size())
        return nullptr;
    return rows_[static_cast<std::size_t>(row)];
}

int CardTableModel::RowOf(const CCard* card) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i] == card)
            return static_cast<int>(i);
    return -1;
}

int CardTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CardTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant CardTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    const CCard* card = CardAt(index.row());
    if (!card || index.column() >= columns_)
        return {};
    return DisplayText(recycled_ ? RecycledCellText(*card, index.column(), profile_)
                                 : CellText(*card, index.column(), profile_));
}

QVariant CardTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_)
        return {};
    if (role == Qt::DisplayRole)
        return titles_[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

}  // namespace tessaline
