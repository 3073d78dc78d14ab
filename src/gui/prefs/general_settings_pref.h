#pragma once
// The "General" page: browser choice, automatic save, password display, submitting filled
// login forms, how long copied secrets stay on the clipboard, searching passwords, the key
// derivation of new sealed files, date format.

#include <QWidget>

#include "core/prefs/preferences.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace tessaline {

class CGeneralSettingsPref : public QWidget {
    Q_OBJECT
public:
    explicit CGeneralSettingsPref(QWidget* parent = nullptr);
    // Members to controls; today is the card time the date list shows.
    void Load(const Preferences& prefs, std::uint32_t today);
    // Controls to members.
    void Store(Preferences& prefs) const;

    QRadioButton* NetscapeRadio() { return netscape_; }
    QRadioButton* ExplorerRadio() { return explorer_; }
    QCheckBox* AutoSaveBox() { return autoSave_; }
    QLineEdit* MinutesEdit() { return minutes_; }
    QSpinBox* MinutesSpin() { return spin_; }
    QCheckBox* ShowPasswordBox() { return showPassword_; }
    QCheckBox* SubmitLoginBox() { return submitLogin_; }
    QSpinBox* ClearClipboardBox() { return clearSeconds_; }
    QListWidget* DateList() { return dates_; }
    QSpinBox* LockMinutesSpin() { return lockMinutes_; }
    QCheckBox* SearchPasswordsBox() { return searchPasswords_; }
    QSpinBox* SealedOperationsSpin() { return sealedOps_; }
    QSpinBox* SealedMemorySpin() { return sealedMemory_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateAutoSaveControls();

    QRadioButton* netscape_;
    QRadioButton* explorer_;
    QCheckBox* autoSave_;
    QLineEdit* minutes_;
    QSpinBox* spin_;
    QCheckBox* showPassword_;
    QCheckBox* submitLogin_;
    QSpinBox* clearSeconds_;
    QListWidget* dates_;
    QSpinBox* lockMinutes_;
    QCheckBox* searchPasswords_;
    QSpinBox* sealedOps_;
    QSpinBox* sealedMemory_;
};

}  // namespace tessaline
