#pragma once
// The "Print Preferences" page: whether printing includes ATM/PIN codes and notes.

#include <QWidget>

#include "core/prefs/preferences.h"

class QCheckBox;

namespace tessaline {

class CPrintXMLSupportRef : public QWidget {
    Q_OBJECT
public:
    explicit CPrintXMLSupportRef(QWidget* parent = nullptr);
    void Load(const Preferences& prefs);
    void Store(Preferences& prefs) const;
    QCheckBox* AtmBox() { return atm_; }
    QCheckBox* NotesBox() { return notes_; }

private:
    QCheckBox* atm_;
    QCheckBox* notes_;
};

}  // namespace tessaline
