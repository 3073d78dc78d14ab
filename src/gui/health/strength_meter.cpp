#include "gui/health/strength_meter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <cmath>

#include "core/health/password_strength.h"
#include "gui/text/text_wipe.h"

namespace tessaline {

namespace {

// The bar is full from here on: far beyond "excellent".
constexpr int kFullBarBits = 128;

}  // namespace

CStrengthMeter::CStrengthMeter(QWidget* parent) : QWidget(parent) {
    setObjectName("strengthMeter");
    bar_ = new QProgressBar(this);
    bar_->setObjectName("strengthBar");
    bar_->setRange(0, kFullBarBits);
    bar_->setTextVisible(false);
    bar_->setMaximumHeight(8);
    text_ = new QLabel(this);
    text_->setObjectName("strengthText");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar_, 1);
    layout->addWidget(text_);
    SetPassword(QString());
}

void CStrengthMeter::SetPassword(const QString& password) {
    QByteArray utf8 = password.toUtf8();
    const PasswordStrength strength =
        EstimateStrength(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    WipeText(utf8);
    bar_->setValue(std::min(kFullBarBits, static_cast<int>(std::floor(strength.bits))));
    text_->setText(QString::fromStdString(StrengthText(strength)));
    bar_->setToolTip(QString("Strength: ") + StrengthWordText(strength.word));
}

}  // namespace tessaline
