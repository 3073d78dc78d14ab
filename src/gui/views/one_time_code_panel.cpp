#include "gui/views/one_time_code_panel.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "core/base/secure_wipe.h"
#include "core/cards/one_time_code.h"
#include "gui/text/text_wipe.h"

namespace tessaline {

namespace {

constexpr int kRefreshMs = 1000;

void ClearLabel(QLabel& label) {
    QString text = label.text();
    label.clear();
    WipeText(text);
}

}  // namespace

COneTimeCodePanel::COneTimeCodePanel(QWidget* parent)
    : QWidget(parent), clock_([] { return QDateTime::currentSecsSinceEpoch(); }) {
    setObjectName("oneTimeCodePanel");
    code_ = new QLabel(this);
    code_->setObjectName("oneTimeCode");
    code_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    secondsLeft_ = new QLabel(this);
    secondsLeft_->setObjectName("oneTimeCodeSecondsLeft");
    setUp_ = new QPushButton("Set up one-time code...", this);
    setUp_->setObjectName("setUpOneTimeCode");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(code_);
    layout->addWidget(secondsLeft_, 1);
    layout->addWidget(setUp_);

    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &COneTimeCodePanel::Refresh);
    connect(setUp_, &QPushButton::clicked, this, &COneTimeCodePanel::SetUpRequested);
    Refresh();
}

COneTimeCodePanel::~COneTimeCodePanel() {
    ClearLabel(*code_);
    SecureWipe(otpText_);
}

void COneTimeCodePanel::SetOtpText(const std::string& text) {
    SecureWipe(otpText_);
    otpText_ = text;
    Refresh();
}

void COneTimeCodePanel::SetClock(std::function<std::int64_t()> clock) {
    clock_ = std::move(clock);
    Refresh();
}

void COneTimeCodePanel::Refresh() {
    ClearLabel(*code_);
    if (!HasOtpText(otpText_)) {
        timer_->stop();
        code_->setText("No one-time code");
        secondsLeft_->clear();
        return;
    }
    const OneTimeCode code = OneTimeCodeAt(otpText_, clock_());
    if (code.code.empty()) {
        timer_->stop();
        code_->setFont(font());
        code_->setText(QString::fromStdString(code.error));
        code_->setWordWrap(true);
        secondsLeft_->clear();
        return;
    }
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(mono.pointSizeF() * 1.4);
    code_->setFont(mono);
    code_->setWordWrap(false);
    code_->setText(QString::fromStdString(code.code));
    secondsLeft_->setText(QString("%1 s left").arg(code.secondsLeft));
    if (!timer_->isActive())
        timer_->start();
}

}  // namespace tessaline
