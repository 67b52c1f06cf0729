#pragma once

#include <QWidget>

class QToolButton;

// A small up/down spinner that sits beside an entry field: each press of a
// button, and each repeat while it is held, reports one step. Held down, it
// repeats after half a second and then speeds up.
class UpDownSpinner : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRepeatDelay = 500;     // ms before the first repeat
    static constexpr int kFirstInterval = 100;   // ms between the first repeats
    static constexpr int kFastestInterval = 20;  // ms between repeats at full speed
    static constexpr int kAcceleration = 5;      // ms taken off the interval per repeat

    explicit UpDownSpinner(QWidget* parent = nullptr);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    // +1 for up, -1 for down.
    void stepped(int delta);

private:
    QToolButton* makeButton(Qt::ArrowType arrow, const QString& name, int delta);

    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};
