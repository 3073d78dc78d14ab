#include "gui/health/password_health_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/cards/categories.h"
#include "gui/text/text_codec.h"

namespace tessaline {

namespace {

constexpr int kFindingRole = Qt::UserRole + 1;

}  // namespace

CPasswordHealthDialog::CPasswordHealthDialog(CardsSource cards, std::int64_t nowMs, QWidget* parent)
    : QDialog(parent), cards_(std::move(cards)), nowMs_(nowMs) {
    setWindowTitle("Password Health");
    setObjectName("PasswordHealthDialog");
    summary_ = new QLabel(this);
    summary_->setObjectName("healthSummary");
    rows_ = new QTreeWidget(this);
    rows_->setObjectName("healthRows");
    rows_->setRootIsDecorated(false);
    rows_->setUniformRowHeights(true);
    rows_->setHeaderLabels({"Card", "Category", "Problem"});
    rows_->header()->setStretchLastSection(true);
    rows_->setColumnWidth(0, 200);
    rows_->setColumnWidth(1, 130);

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton("Open Card", QDialogButtonBox::ActionRole);
    open_->setAutoDefault(false);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(open_, &QPushButton::clicked, this, &CPasswordHealthDialog::OpenCurrentCard);
    // A double click, or Enter on a row.
    connect(rows_, &QTreeWidget::itemActivated, this, [this] { OpenCurrentCard(); });
    connect(rows_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { open_->setEnabled(current != nullptr); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(rows_, 1);
    layout->addWidget(buttons);
    resize(720, 420);
    Refresh();
}

void CPasswordHealthDialog::Refresh() {
    rows_->clear();
    findings_.clear();
    const CCardCollection* collection = cards_ ? cards_() : nullptr;
    if (collection == nullptr) {
        summary_->clear();
        open_->setEnabled(false);
        reject();
        return;
    }
    const std::vector<const CCard*> cards = CardsToCheck(*collection);
    findings_ = CheckPasswordHealth(cards, nowMs_);
    for (std::size_t i = 0; i < findings_.size(); ++i) {
        const HealthFinding& f = findings_[i];
        auto* row = new QTreeWidgetItem(
            rows_, {DisplayText(f.card->Name()),
                    QString::fromStdString(CategoryDisplayName(f.card->Category())),
                    QString::fromStdString(DescribeFinding(f))});
        row->setData(0, kFindingRole, static_cast<qulonglong>(i));
    }
    if (findings_.empty()) {
        summary_->setText(QString("No problems found in %1 %2.")
                              .arg(cards.size())
                              .arg(cards.size() == 1 ? "card" : "cards"));
    } else {
        summary_->setText(QString("%1 %2 in %3 cards. Double-click a row to open its card.")
                              .arg(findings_.size())
                              .arg(findings_.size() == 1 ? "problem" : "problems")
                              .arg(cards.size()));
        rows_->setCurrentItem(rows_->topLevelItem(0));
    }
    open_->setEnabled(rows_->currentItem() != nullptr);
}

const CCard* CPasswordHealthDialog::CardOf(const QTreeWidgetItem* row) const {
    if (row == nullptr)
        return nullptr;
    const auto i = row->data(0, kFindingRole).toULongLong();
    return i < findings_.size() ? findings_[i].card : nullptr;
}

void CPasswordHealthDialog::OpenCurrentCard() {
    const CCard* card = CardOf(rows_->currentItem());
    if (card == nullptr || !openCard)
        return;
    const int at = rows_->indexOfTopLevelItem(rows_->currentItem());
    openCard(card);
    // The card may have changed: check again, and stay near the row the user was on. A
    // dialog closed meanwhile (the document locked) lists nothing any more.
    if (!isVisible()) {
        rows_->clear();
        findings_.clear();
        return;
    }
    Refresh();
    if (rows_->topLevelItemCount() > 0)
        rows_->setCurrentItem(rows_->topLevelItem(std::min(at, rows_->topLevelItemCount() - 1)));
}

}  // namespace tessaline
