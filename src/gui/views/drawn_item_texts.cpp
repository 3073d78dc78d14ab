#include "gui/views/drawn_item_texts.h"

#include <QAbstractItemView>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>

namespace tessaline {

void ForgetStyleItemCopy(QWidget& widget) {
    // The style keeps its copy until it lays out a cell that differs from it.
    QStyleOptionViewItem empty;
    empty.initFrom(&widget);
    empty.widget = &widget;
    empty.features = QStyleOptionViewItem::HasDisplay;
    widget.style()->subElementRect(QStyle::SE_ItemViewItemText, &empty, &widget);
}

void ForgetDrawnItemTexts(QAbstractItemView& view) {
    QAbstractItemDelegate* old = view.itemDelegate();
    if (!old || old->parent() == &view) {
        view.setItemDelegate(new QStyledItemDelegate(&view));
        // The old delegate was the view's own: deleting it lets go of the values it kept.
        delete old;
    }

    ForgetStyleItemCopy(view);
}

}  // namespace tessaline
