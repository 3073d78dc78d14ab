#include "gui/app/welcome_panel.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/commands/command_ids.h"

namespace tessaline {

namespace {

QPushButton* MakeButton(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setMinimumWidth(260);
    return b;
}

}  // namespace

CWelcomePanel::CWelcomePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("welcomePanel"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    auto* heading = new QLabel(QStringLiteral("Welcome to Tessaline"), this);
    QFont big = heading->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    heading->setFont(big);
    auto* intro = new QLabel(
        QStringLiteral("Your logins, cards and other secrets, kept as cards in a data file."),
        this);

    new_ = MakeButton(QStringLiteral("&New data file"), QStringLiteral("welcomeNew"), this);
    open_ = MakeButton(QStringLiteral("&Open..."), QStringLiteral("welcomeOpen"), this);
    import_ = MakeButton(QStringLiteral("&Import from another password manager..."),
                         QStringLiteral("welcomeImport"), this);

    auto* recentTitle = new QLabel(QStringLiteral("Recent files"), this);
    QFont bold = recentTitle->font();
    bold.setBold(true);
    recentTitle->setFont(bold);
    noRecent_ = new QLabel(QStringLiteral("No data file was opened yet."), this);
    noRecent_->setEnabled(false);
    recentLayout_ = new QVBoxLayout;
    recentLayout_->setSpacing(2);
    recentLayout_->addWidget(noRecent_);

    auto* column = new QVBoxLayout;
    column->addWidget(heading);
    column->addWidget(intro);
    column->addSpacing(16);
    column->addWidget(new_);
    column->addWidget(open_);
    column->addWidget(import_);
    column->addSpacing(16);
    column->addWidget(recentTitle);
    column->addLayout(recentLayout_);

    auto* outer = new QGridLayout(this);
    outer->setRowStretch(0, 1);
    outer->setRowStretch(2, 2);
    outer->setColumnStretch(0, 1);
    outer->setColumnStretch(2, 1);
    outer->addLayout(column, 1, 1);

    connect(new_, &QPushButton::clicked, this, [this] { emit CommandChosen(kCmdFileNew); });
    connect(open_, &QPushButton::clicked, this, [this] { emit CommandChosen(kCmdFileOpen); });
    connect(import_, &QPushButton::clicked, this, &CWelcomePanel::ImportChosen);
}

void CWelcomePanel::ShowRecentFiles(const std::vector<std::string>& paths) {
    for (QPushButton* b : recentButtons_)
        delete b;
    recentButtons_.clear();
    for (std::size_t i = 0; i < paths.size() && i < static_cast<std::size_t>(kRecentFileCount);
         ++i) {
        const QString path = QString::fromStdString(paths[i]);
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        auto* b = new QPushButton(name, this);
        b->setObjectName(QStringLiteral("welcomeRecent%1").arg(i + 1));
        b->setFlat(true);
        b->setToolTip(path);
        b->setStyleSheet(QStringLiteral("text-align: left"));
        const int command = kCmdFileMru1 + static_cast<int>(i);
        connect(b, &QPushButton::clicked, this, [this, command] { emit CommandChosen(command); });
        recentLayout_->addWidget(b);
        recentButtons_ << b;
    }
    noRecent_->setVisible(recentButtons_.isEmpty());
}

void CWelcomePanel::SetImportAvailable(bool available) {
    import_->setVisible(available);
}

}  // namespace tessaline
