#include "gui/views/card_history_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/text/text_codec.h"
#include "gui/text/text_wipe.h"

namespace tessaline {

namespace {

constexpr int kVersionRole = Qt::UserRole + 1;

}  // namespace

CCardHistoryPage::CCardHistoryPage(QWidget* parent) : QWidget(parent) {
    setObjectName("HistoryPage");
    list_ = new QTreeWidget(this);
    list_->setObjectName("historyList");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({"Time", "Name", "User ID", "Password", "Changed"});
    list_->header()->setStretchLastSection(true);
    list_->setColumnWidth(0, 140);

    restore_ = new QPushButton("Restore", this);
    restore_->setObjectName("restoreVersion");
    restore_->setAutoDefault(false);
    restore_->setEnabled(false);
    restore_->setToolTip(
        "Make the selected version the card again; the card as it is now is "
        "kept in its history");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel("Earlier versions of this card, newest first.", this), 1);
    buttons->addWidget(restore_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            [this] { restore_->setEnabled(SelectedVersion() >= 0); });
    connect(restore_, &QPushButton::clicked, this, [this] {
        if (const int version = SelectedVersion(); version >= 0)
            emit RestoreRequested(version);
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (const int version = SelectedVersion(); version >= 0)
            emit RestoreRequested(version);
    });
}

CCardHistoryPage::~CCardHistoryPage() {
    ClearList();
}

void CCardHistoryPage::ClearList() {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        for (int c = 0; c < list_->columnCount(); ++c) {
            QString text = item->text(c);
            item->setText(c, QString());
            WipeText(text);
        }
    }
    list_->clear();
}

void CCardHistoryPage::SetRows(const std::vector<HistoryRow>& rows) {
    ClearList();
    for (const HistoryRow& row : rows) {
        auto* item = new QTreeWidgetItem(list_);
        const QString time = QString::fromStdString(row.time);
        item->setText(0,
                      row.version < 0 ? (time.isEmpty() ? QString("Now") : time + " (now)") : time);
        item->setText(1, DisplayText(row.name));
        item->setText(2, DisplayText(row.userId));
        item->setText(3, DisplayText(row.password));
        item->setText(4, QString::fromStdString(row.changed));
        item->setData(0, kVersionRole, row.version);
    }
    restore_->setEnabled(false);
}

int CCardHistoryPage::SelectedVersion() const {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty())
        return -1;
    return selected.constFirst()->data(0, kVersionRole).toInt();
}

}  // namespace tessaline
