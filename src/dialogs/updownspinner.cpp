#include "dialogs/updownspinner.h"

#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

UpDownSpinner::UpDownSpinner(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_ = makeButton(Qt::UpArrow, QStringLiteral("Up"), 1);
    down_ = makeButton(Qt::DownArrow, QStringLiteral("Down"), -1);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setFocusPolicy(Qt::NoFocus);
}

QToolButton* UpDownSpinner::makeButton(Qt::ArrowType arrow, const QString& name, int delta) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setAccessibleName(name);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setAutoRepeatDelay(kRepeatDelay);
    button->setAutoRepeatInterval(kFirstInterval);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    // Each press starts slowly again; while it is held the repeats come
    // faster, so long distances do not take long.
    connect(button, &QToolButton::pressed, button,
            [button]() { button->setAutoRepeatInterval(kFirstInterval); });
    connect(button, &QToolButton::clicked, this, [this, button, delta]() {
        if (button->isDown()) {
            button->setAutoRepeatInterval(
                std::max(kFastestInterval, button->autoRepeatInterval() - kAcceleration));
        }
        emit stepped(delta);
    });
    return button;
}
