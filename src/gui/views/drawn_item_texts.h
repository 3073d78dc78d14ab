#pragma once
// What an item view keeps of the cells it last drew or measured: its delegate keeps the
// model's values for the last cell it prepared, and the style keeps a copy of the last
// cell it laid out, text included. Once the list is emptied nothing is drawn again to
// replace them, so a card's text would stay in memory for as long as the window lives.

class QAbstractItemView;
class QWidget;

namespace tessaline {

// Has the widget's style lay out an empty cell, so that it lets go of its copy of the
// last cell it laid out (the style lives on after the view that drew the cell).
void ForgetStyleItemCopy(QWidget& widget);

// Lets go of the texts the view's delegate and its style keep of the cells drawn last:
// the delegate is replaced by a fresh one, and the style lays out an empty cell.
void ForgetDrawnItemTexts(QAbstractItemView& view);

}  // namespace tessaline
