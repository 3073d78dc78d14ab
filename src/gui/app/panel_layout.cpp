#include "gui/app/panel_layout.h"

#include <QGridLayout>
#include <QLabel>

namespace tessaline {

void MakeHeading(QLabel& label, double scale) {
    QFont big = label.font();
    big.setPointSizeF(big.pointSizeF() * scale);
    big.setBold(true);
    label.setFont(big);
}

void CentreInPanel(QWidget& panel, QLayout* column) {
    auto* outer = new QGridLayout(&panel);
    outer->setRowStretch(0, 1);
    outer->setRowStretch(2, 2);
    outer->setColumnStretch(0, 1);
    outer->setColumnStretch(2, 1);
    outer->addLayout(column, 1, 1);
}

}  // namespace tessaline
