#pragma once
// What the panels the main window shows in place of cards share: a large bold heading
// and a column of controls set in the middle, a little above the centre.

class QLabel;
class QLayout;
class QWidget;

namespace tessaline {

// Makes label a heading: bold, its font scale times the usual size.
void MakeHeading(QLabel& label, double scale);
// Sets column in the middle of panel, with twice the room below it as above.
void CentreInPanel(QWidget& panel, QLayout* column);

}  // namespace tessaline
