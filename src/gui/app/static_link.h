#pragma once
// A text label that acts as a link: underlined, blue until opened and purple after, a
// hand cursor over it, opened with the desktop's handler for its address.

#include <QColor>
#include <QLabel>

namespace tessaline {

class CStaticLink : public QLabel {
    Q_OBJECT
public:
    static inline const QColor kUnvisited{0, 0, 255};
    static inline const QColor kVisited{128, 0, 128};

    explicit CStaticLink(const QString& target = {}, QWidget* parent = nullptr);

    void SetTarget(const QString& target) { target_ = target; }
    QString Target() const { return target_; }
    QColor CurrentColor() const { return color_; }
    // Opens the target (the label's text when no target was set). False when nothing
    // could be opened; the user then hears a beep.
    bool Open();

signals:
    void Opened(const QString& target);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ApplyColor();

    QString target_;
    QColor color_ = kUnvisited;
};

}  // namespace tessaline
