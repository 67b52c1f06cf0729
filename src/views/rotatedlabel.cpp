#include "views/rotatedlabel.h"

#include <QPainter>

RotatedLabel::RotatedLabel(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Section"));
}

void RotatedLabel::setText(const QString& text) {
    text_ = text;
    setAccessibleName(text);
    update();
}

void RotatedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.translate(width(), 0);
    painter.rotate(90);
    painter.drawText(QRect(0, 0, height(), width()), Qt::AlignLeft | Qt::AlignVCenter, text_);
}
