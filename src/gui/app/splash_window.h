#pragma once
// The picture shown for a moment while the program starts. It goes away after 750 ms,
// or at once when the user presses a key or a mouse button; that press is swallowed.

#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace tessaline {

class CSplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 750;

    // The --no-splash switch turns it off for the whole run.
    static void EnableSplash(bool enable);
    // Shows the splash over parent, unless it is switched off or already showing.
    static void ShowSplash(QWidget* parent);
    static void HideSplash();
    // The one splash now showing, or nullptr.
    static CSplashWindow* Current();
    // The picture (346 x 153).
    static QPixmap Picture();

    ~CSplashWindow() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSplashWindow(const QPixmap& picture, QWidget* parent);

    QPixmap picture_;
};

}  // namespace tessaline
