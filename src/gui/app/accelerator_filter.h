#pragma once
// The main window's accelerator table. Its keys are taken before anything else sees
// them (the focused field, the menu bar's Alt+letter mnemonics, other shortcuts), as
// long as the key is pressed in the main window itself and not in a dialog or menu.

#include <QKeyCombination>
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QKeyEvent;
class QWidget;

namespace tessaline {

class CAcceleratorFilter : public QObject {
    Q_OBJECT
public:
    // run(command) carries out a command of the table; it decides itself whether the
    // command is enabled. The filter watches the whole application once installed.
    CAcceleratorFilter(QWidget& window, std::function<void(int)> run, QObject* parent = nullptr);

    // The command of a key press, or 0 when the table has none.
    int CommandOfKey(QKeyCombination key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InWindow(QObject* watched) const;
    int CommandOf(const QKeyEvent& e) const;

    QPointer<QWidget> window_;
    std::function<void(int)> run_;
    std::vector<std::pair<QKeyCombination, int>> table_;
};

}  // namespace tessaline
