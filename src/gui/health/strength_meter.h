#pragma once
// A bar and a text under a password field: how hard the password is to guess, in bits and
// a word ("46 bits, weak"), updated as the password changes.

#include <QWidget>

class QLabel;
class QProgressBar;

namespace tessaline {

class CStrengthMeter : public QWidget {
    Q_OBJECT
public:
    explicit CStrengthMeter(QWidget* parent = nullptr);

    // Estimates the password; the copy made for the estimate is wiped.
    void SetPassword(const QString& password);

    QProgressBar* Bar() { return bar_; }
    QLabel* Text() { return text_; }

private:
    QProgressBar* bar_;
    QLabel* text_;
};

}  // namespace tessaline
