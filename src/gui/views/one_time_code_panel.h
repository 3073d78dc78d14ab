#pragma once
// The card editor's one-time code: the current code and the seconds it stays valid,
// renewed every second, and the button that opens "Set up one-time code".

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTimer;

namespace tessaline {

class COneTimeCodePanel : public QWidget {
    Q_OBJECT
public:
    explicit COneTimeCodePanel(QWidget* parent = nullptr);
    ~COneTimeCodePanel() override;

    // The card's one-time-password field (an otpauth:// address or a base32 secret).
    void SetOtpText(const std::string& text);
    const std::string& OtpText() const { return otpText_; }

    // Where the time comes from (seconds since 1970 UTC); the system clock unless a test
    // sets another.
    void SetClock(std::function<std::int64_t()> clock);
    // Shows the code of the clock's time now.
    void Refresh();

    QLabel* CodeLabel() { return code_; }
    QLabel* SecondsLeftLabel() { return secondsLeft_; }
    QPushButton* SetUpButton() { return setUp_; }
    QTimer* Timer() { return timer_; }

signals:
    void SetUpRequested();

private:
    std::string otpText_;
    std::function<std::int64_t()> clock_;
    QLabel* code_;
    QLabel* secondsLeft_;
    QPushButton* setUp_;
    QTimer* timer_;
};

}  // namespace tessaline
