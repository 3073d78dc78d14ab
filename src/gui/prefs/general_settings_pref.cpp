#include "gui/prefs/general_settings_pref.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/prefs/frame_keys.h"
#include "gui/text/text_codec.h"

namespace tessaline {

namespace {

// Just the two arrows: the minutes themselves are typed into the edit beside them. The
// arrows step from whatever the edit holds now, typed or not, and write the result back.
class ArrowsOnlySpinBox : public QSpinBox {
public:
    ArrowsOnlySpinBox(QLineEdit* minutes, QWidget* parent) : QSpinBox(parent), minutes_(minutes) {
        lineEdit()->setVisible(false);
        setFrame(false);
    }
    void stepBy(int steps) override {
        {
            const QSignalBlocker block(this);
            setValue(AutoSaveSpinPosition(StoredText(minutes_->text())));
        }
        QSpinBox::stepBy(steps);
        minutes_->setText(QString::number(value()));
    }
    QSize sizeHint() const override {
        const QSize full = QSpinBox::sizeHint();
        return {full.height() * 2 / 3 + 2, full.height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    // Both arrows stay usable: the typed minutes, not the last arrow position, decide
    // where a step goes.
    StepEnabled stepEnabled() const override {
        return isEnabled() ? (StepUpEnabled | StepDownEnabled) : StepNone;
    }

private:
    QLineEdit* minutes_;
};

}  // namespace

CGeneralSettingsPref::CGeneralSettingsPref(QWidget* parent) : QWidget(parent) {
    auto* browser = new QGroupBox("Web Browser Preference", this);
    auto* browserLayout = new QVBoxLayout(browser);
    // Named for what each choice starts here; the stored values are those of old.
    netscape_ = new QRadioButton("Command-line browser (Firefox)", browser);
    explorer_ = new QRadioButton("Automation browser (Chromium)", browser);
    netscape_->setObjectName("1116");
    explorer_->setObjectName("1117");
    browserLayout->addWidget(netscape_);
    browserLayout->addWidget(explorer_);

    auto* global = new QGroupBox("Global Settings", this);
    auto* globalLayout = new QVBoxLayout(global);
    auto* saveRow = new QHBoxLayout;
    autoSave_ = new QCheckBox("Automatic Save Every:", global);
    autoSave_->setObjectName("1115");
    minutes_ = new QLineEdit(global);
    minutes_->setObjectName("1114");
    spin_ = new ArrowsOnlySpinBox(minutes_, global);
    // The Up and Down keys in the minutes step as the arrows do.
    minutes_->installEventFilter(this);
    spin_->setObjectName("1113");
    spin_->setRange(kAutoSaveSpinMin, kAutoSaveSpinMax);
    minutes_->setEnabled(false);
    spin_->setEnabled(false);
    saveRow->addWidget(autoSave_);
    saveRow->addWidget(minutes_);
    saveRow->addWidget(spin_);
    saveRow->addWidget(new QLabel("minutes", global));
    globalLayout->addLayout(saveRow);
    showPassword_ = new QCheckBox("Show Password As Text", global);
    showPassword_->setObjectName("1090");
    globalLayout->addWidget(showPassword_);
    submitLogin_ = new QCheckBox("Submit login forms after filling", global);
    submitLogin_->setObjectName("submitLoginForms");
    submitLogin_->setToolTip(
        "Load Web Page and Fill Login also submit the form, for cards with Automatic Access");
    globalLayout->addWidget(submitLogin_);
    auto* clearRow = new QHBoxLayout;
    auto* clearLabel = new QLabel("Clear clipboard after", global);
    clearSeconds_ = new QSpinBox(global);
    clearSeconds_->setObjectName("clearClipboardSeconds");
    clearSeconds_->setRange(0, kClearClipboardSecondsMax);
    clearLabel->setBuddy(clearSeconds_);
    clearRow->addWidget(clearLabel);
    clearRow->addWidget(clearSeconds_);
    clearRow->addWidget(new QLabel("seconds (0 = never)", global));
    clearRow->addStretch(1);
    globalLayout->addLayout(clearRow);
    auto* lockRow = new QHBoxLayout;
    lockMinutes_ = new QSpinBox(global);
    lockMinutes_->setObjectName("lockAfterMinutes");
    lockMinutes_->setRange(0, prefs::kLockAfterMinutesMax);
    lockMinutes_->setSpecialValueText("never");
    lockMinutes_->setAccessibleName("Lock encrypted files after N minutes without use");
    auto* lockLabel = new QLabel("&Lock encrypted files after", global);
    lockLabel->setBuddy(lockMinutes_);
    lockRow->addWidget(lockLabel);
    lockRow->addWidget(lockMinutes_);
    lockRow->addWidget(new QLabel("minutes without use", global));
    lockRow->addStretch(1);
    globalLayout->addLayout(lockRow);
    searchPasswords_ = new QCheckBox("Search passwords", global);
    searchPasswords_->setObjectName("searchPasswords");
    searchPasswords_->setToolTip("The search box also finds cards by their password");
    globalLayout->addWidget(searchPasswords_);

    auto* sealBox = new QGroupBox("New sealed files", this);
    auto* sealLayout = new QHBoxLayout(sealBox);
    sealedOps_ = new QSpinBox(sealBox);
    sealedOps_->setObjectName("sealedKeyOperations");
    sealedOps_->setRange(prefs::kSealedKeyOperationsMin, prefs::kSealedKeyOperationsMax);
    auto* opsLabel = new QLabel("Key &passes", sealBox);
    opsLabel->setBuddy(sealedOps_);
    sealedMemory_ = new QSpinBox(sealBox);
    sealedMemory_->setObjectName("sealedKeyMemoryKiB");
    sealedMemory_->setRange(prefs::kSealedKeyMemoryKiBMin, prefs::kSealedKeyMemoryKiBMax);
    sealedMemory_->setSuffix(" KiB");
    auto* memoryLabel = new QLabel("Key &memory", sealBox);
    memoryLabel->setBuddy(sealedMemory_);
    sealBox->setToolTip(
        "How hard a password is made to guess for files sealed from now on: more passes and "
        "memory take longer to open, for you and for anyone trying passwords");
    sealLayout->addWidget(opsLabel);
    sealLayout->addWidget(sealedOps_);
    sealLayout->addWidget(memoryLabel);
    sealLayout->addWidget(sealedMemory_);
    sealLayout->addStretch(1);

    auto* dateBox = new QGroupBox("Select Date Format", this);
    auto* dateLayout = new QVBoxLayout(dateBox);
    dates_ = new QListWidget(dateBox);
    dates_->setObjectName("1150");
    dateLayout->addWidget(dates_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser);
    layout->addWidget(global);
    layout->addWidget(sealBox);
    layout->addWidget(dateBox);

    connect(autoSave_, &QCheckBox::clicked, this, &CGeneralSettingsPref::UpdateAutoSaveControls);
    connect(spin_, &QSpinBox::valueChanged, this,
            [this](int v) { minutes_->setText(QString::number(v)); });
}

bool CGeneralSettingsPref::eventFilter(QObject* watched, QEvent* event) {
    if (watched == minutes_ && event->type() == QEvent::KeyPress && spin_->isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int steps = key == Qt::Key_Up         ? 1
                          : key == Qt::Key_Down     ? -1
                          : key == Qt::Key_PageUp   ? 10
                          : key == Qt::Key_PageDown ? -10
                                                    : 0;
        if (steps != 0) {
            spin_->stepBy(steps);
            minutes_->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CGeneralSettingsPref::UpdateAutoSaveControls() {
    const bool on = autoSave_->isChecked();
    minutes_->setEnabled(on);
    spin_->setEnabled(on);
}

void CGeneralSettingsPref::Load(const Preferences& p, std::uint32_t today) {
    netscape_->setAutoExclusive(false);
    explorer_->setAutoExclusive(false);
    netscape_->setChecked(p.chooseWebBrowser == 0);
    explorer_->setChecked(p.chooseWebBrowser == 1);
    netscape_->setAutoExclusive(true);
    explorer_->setAutoExclusive(true);
    autoSave_->setChecked(p.automaticSaveCheck == 1);
    showPassword_->setChecked(p.showPasswordAlways == 1);
    submitLogin_->setChecked(p.submitLoginForms == 1);
    clearSeconds_->setValue(p.clearClipboardSeconds);
    lockMinutes_->setValue(p.lockAfterMinutes);
    searchPasswords_->setChecked(p.searchPasswords == 1);
    sealedOps_->setValue(p.sealedKeyOperations);
    sealedMemory_->setValue(p.sealedKeyMemoryKiB);
    minutes_->setText(DisplayText(p.automaticSave));
    const int position = AutoSaveSpinPosition(p.automaticSave);
    {
        const QSignalBlocker block(spin_);
        spin_->setValue(position);
    }
    // The spin button writes its position into the edit.
    minutes_->setText(QString::number(position));
    UpdateAutoSaveControls();
    dates_->clear();
    for (const std::string& sample : DateFormatSamples(today))
        dates_->addItem(DisplayText(sample));
    dates_->setCurrentRow(DateFormatListSelection(p.dateFormat));
    if (DateFormatListSelection(p.dateFormat) < 0)
        dates_->clearSelection();
}

void CGeneralSettingsPref::Store(Preferences& p) const {
    p.chooseWebBrowser = netscape_->isChecked() ? 0 : explorer_->isChecked() ? 1 : -1;
    p.automaticSaveCheck = autoSave_->isChecked() ? 1 : 0;
    p.automaticSave = StoredText(minutes_->text());
    p.showPasswordAlways = showPassword_->isChecked() ? 1 : 0;
    p.submitLoginForms = submitLogin_->isChecked() ? 1 : 0;
    clearSeconds_->interpretText();
    p.clearClipboardSeconds = clearSeconds_->value();
    p.lockAfterMinutes = lockMinutes_->value();
    p.searchPasswords = searchPasswords_->isChecked() ? 1 : 0;
    sealedOps_->interpretText();
    p.sealedKeyOperations = sealedOps_->value();
    sealedMemory_->interpretText();
    p.sealedKeyMemoryKiB = sealedMemory_->value();
    const auto selected = dates_->selectedItems();
    p.dateFormat = selected.isEmpty() ? -1 : dates_->row(selected.front());
}

}  // namespace tessaline
