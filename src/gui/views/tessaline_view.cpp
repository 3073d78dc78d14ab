#include "gui/views/tessaline_view.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/window_memory.h"
#include "core/platform/profile.h"
#include "core/prefs/profile_keys.h"
#include "core/views/card_list_model.h"
#include "core/views/list_colours.h"
#include "gui/document/tessaline_doc.h"
#include "gui/text/text_codec.h"
#include "gui/views/card_table_model.h"
#include "gui/views/drawn_item_texts.h"

namespace tessaline {

CTessalineNewView::CTessalineNewView(CTessalineNewDoc& doc, IProfile& profile, QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      profile_(profile),
      widths_(LoadColumnWidths(profile, kColumnWidths)) {
    model_ = new CardTableModel(profile_, this);
    list_ = new QTreeView(this);
    list_->setObjectName(QStringLiteral("cardList"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setSortingEnabled(false);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsClickable(true);
    list_->header()->setSectionsMovable(false);
    list_->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ApplyTextColour();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);

    // The header's arrow always marks the column the rows are ordered by (the names at
    // first); a click on a column that orders nothing leaves it where it was.
    list_->header()->setSortIndicatorShown(true);
    connect(list_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        model_->SortByColumn(column);
        ShowSortIndicator();
    });
    connect(list_->header(), &QHeaderView::sortIndicatorChanged, this,
            [this] { ShowSortIndicator(); });
    // Enter edits the selected card and Delete deletes it, as their menu commands do.
    list_->installEventFilter(this);
    connect(list_->header(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!applyingWidths_ && column >= 0 && column < kFullColumnCount) {
            widths_[static_cast<std::size_t>(column)] = size;
            // The next list, and the next start, begin with the widths the user chose.
            SaveColumnWidths(profile_, widths_);
            FillWidth();
        }
    });
    // The last column takes up what the window has to spare.
    list_->viewport()->installEventFilter(this);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit SelectionChanged(); });
    connect(list_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (CCard* card = model_->CardAt(index.row()))
            emit CardActivated(card);
    });
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        emit ContextMenuRequested(list_->viewport()->mapToGlobal(pos));
    });
    connect(&doc_, &CTessalineNewDoc::ViewsNeedUpdate, this,
            qOverload<>(&CTessalineNewView::OnUpdate));
    connect(&doc_, &CTessalineNewDoc::ViewsNeedUpdateTo, this,
            qOverload<const QString&>(&CTessalineNewView::OnUpdate));
    connect(&doc_, &CTessalineNewDoc::CardsAboutToBeReplaced, this, [this] {
        model_->Clear();
        // The cards are going: the list's delegate and style must not keep the texts of
        // the cells drawn last.
        ForgetDrawnItemTexts(*list_);
    });

    ApplyColumnWidths();
    OnUpdate();
}

CTessalineNewView::~CTessalineNewView() {
    // The list and its delegate go with this view, but the style that laid out its cells
    // stays and would keep a copy of the last one.
    ForgetStyleItemCopy(*list_);
}

bool CTessalineNewView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize)
        FillWidth();
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            switch (key->key()) {
                case Qt::Key_Return:
                case Qt::Key_Enter:
                    emit EditRequested();
                    return true;
                case Qt::Key_Delete:
                    emit DeleteRequested();
                    return true;
                default:
                    break;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CTessalineNewView::ShowSortIndicator() {
    const Qt::SortOrder order =
        model_->SortedDescending() ? Qt::DescendingOrder : Qt::AscendingOrder;
    QHeaderView* header = list_->header();
    if (header->sortIndicatorSection() != model_->SortColumn() ||
        header->sortIndicatorOrder() != order)
        header->setSortIndicator(model_->SortColumn(), order);
}

void CTessalineNewView::OnUpdate() {
    ListText(QString::fromStdString(ChooseCategoryText(std::nullopt, profile_)));
}

void CTessalineNewView::OnUpdate(const QString& hint) {
    ListText(hint);
}

void CTessalineNewView::ShowCategory(const QString& text) {
    ListText(text);
}

void CTessalineNewView::ShowSearchResults(const QString& text) {
    const bool withPasswords = profile_.GetInt(prefs::kGeneralSection, prefs::kSearchPasswords,
                                               prefs::kSearchPasswordsDefault) == 1;
    doc_.Cards().GatherAndSearch(StoredText(text), withPasswords);
    SetColumnTitlesFor(QString::fromStdString(std::string(kShowAll)));
    doc_.UpdateAllViews(QString::fromStdString(std::string(kSearchResults)));
}

QString CTessalineNewView::ShownCategory() const {
    return model_->ShownText();
}

void CTessalineNewView::SetColumnTitlesFor(const QString& text) {
    model_->SetColumnTitlesFor(text);
}

void CTessalineNewView::ListText(const QString& text) {
    emit CategoryShown(text);
    const bool hadSelection = list_->selectionModel()->hasSelection();
    const bool hadCategoryColumn = model_->columnCount() == kFullColumnCount;
    model_->ShowCategory(doc_.Cards(), text);
    // A "Category" column coming back starts at its own width again.
    if (!hadCategoryColumn && model_->columnCount() == kFullColumnCount)
        widths_[kColumnCategory] = kColumnWidths[kColumnCategory];
    ApplyColumnWidths();
    for (int c = 0; c < kFullColumnCount; ++c)
        list_->setColumnHidden(
            c, model_->ListsRecycleBin() &&
                   std::find(kRecycleBinColumns.begin(), kRecycleBinColumns.end(), c) ==
                       kRecycleBinColumns.end());
    ShowSortIndicator();
    AnnounceItemCount();
    // A reset drops the selection without telling anyone.
    if (hadSelection)
        emit SelectionChanged();
}

void CTessalineNewView::ApplyTextColour() {
    // Blue text, as blue as the background lets it be read.
    // The view's own palette: on a change it is new before the list's is.
    const QColor base = palette().color(QPalette::Base);
    const Rgb blue = ReadableBlueOn(Rgb{static_cast<std::uint8_t>(base.red()),
                                        static_cast<std::uint8_t>(base.green()),
                                        static_cast<std::uint8_t>(base.blue())});
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Text, QColor(blue.r, blue.g, blue.b));
    list_->setPalette(palette);
}

void CTessalineNewView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && list_ != nullptr)
        ApplyTextColour();
}

void CTessalineNewView::ApplyColumnWidths() {
    applyingWidths_ = true;
    for (int c = 0; c < model_->columnCount(); ++c)
        list_->header()->resizeSection(c, widths_[static_cast<std::size_t>(c)]);
    applyingWidths_ = false;
    FillWidth();
}

void CTessalineNewView::FillWidth() {
    const int count = model_->columnCount();
    if (count <= 0 || count > kFullColumnCount)
        return;
    QHeaderView* header = list_->header();
    const int last = count - 1;
    int others = 0;
    for (int c = 0; c < last; ++c)
        others += header->sectionSize(c);
    // At least the width the user gave it; more while the window has room to spare.
    const int wanted =
        std::max(widths_[static_cast<std::size_t>(last)], list_->viewport()->width() - others);
    if (header->sectionSize(last) == wanted)
        return;
    applyingWidths_ = true;
    header->resizeSection(last, wanted);
    applyingWidths_ = false;
}

void CTessalineNewView::AnnounceItemCount() {
    if (const std::optional<int> count =
            CountOfCategoryText(doc_.Cards(), model_->ShownText().toStdString()))
        emit ItemCountChanged(*count);
}

CCard* CTessalineNewView::SelectedCard() const {
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : model_->CardAt(rows.constFirst().row());
}

void CTessalineNewView::SelectCard(const CCard* card) {
    const int row = card ? model_->RowOf(card) : -1;
    if (row < 0) {
        list_->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row, 0);
    list_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index);
}

int CTessalineNewView::ItemCount() const {
    return model_->rowCount();
}

}  // namespace tessaline
