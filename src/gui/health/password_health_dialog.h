#pragma once
// Tools > Password Health: the cards whose passwords need attention, one row a problem
// (card, category, problem). A double click on a row, Enter or "Open Card" opens the card
// in the editor; the rows are checked again when the editor closes.

#include <QDialog>
#include <functional>
#include <vector>

#include "core/health/password_health.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tessaline {

class CPasswordHealthDialog : public QDialog {
    Q_OBJECT
public:
    // The cards to check, asked afresh at every check: nullptr once they are gone (the
    // document locked or closed), which closes the dialog.
    using CardsSource = std::function<const CCardCollection*()>;
    // nowMs: the moment ages and expiry dates are measured against.
    CPasswordHealthDialog(CardsSource cards, std::int64_t nowMs, QWidget* parent = nullptr);

    // Opens a card in the editor; set by the command that runs the dialog.
    std::function<void(const CCard* card)> openCard;

    // Checks the cards again and lists what was found; closes the dialog when the cards are
    // gone.
    void Refresh();
    // Opens the card of the current row.
    void OpenCurrentCard();

    QTreeWidget* Rows() { return rows_; }
    QLabel* Summary() { return summary_; }
    QPushButton* OpenButton() { return open_; }
    // The card of a row.
    const CCard* CardOf(const QTreeWidgetItem* row) const;

private:
    CardsSource cards_;
    std::int64_t nowMs_;
    std::vector<HealthFinding> findings_;
    QTreeWidget* rows_;
    QLabel* summary_;
    QPushButton* open_;
};

}  // namespace tessaline
