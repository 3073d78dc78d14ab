#pragma once
// The card editor's History page: the card as it is now and its earlier versions, newest
// first (time, name, user ID, password masked, the fields each changed), and "Restore",
// which asks for the selected earlier version to become the card again.

#include <QWidget>
#include <vector>

#include "core/views/card_history_rows.h"

class QPushButton;
class QTreeWidget;

namespace tessaline {

class CCardHistoryPage : public QWidget {
    Q_OBJECT
public:
    explicit CCardHistoryPage(QWidget* parent = nullptr);
    // The texts the list showed are cleared.
    ~CCardHistoryPage() override;

    void SetRows(const std::vector<HistoryRow>& rows);

    QTreeWidget* List() { return list_; }
    QPushButton* RestoreButton() { return restore_; }
    // The version the selected row shows (its index in the card's history), or -1 for
    // none or the card as it is now.
    int SelectedVersion() const;

signals:
    void RestoreRequested(int version);

private:
    void ClearList();

    QTreeWidget* list_;
    QPushButton* restore_;
};

}  // namespace tessaline
