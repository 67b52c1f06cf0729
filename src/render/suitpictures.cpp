#include "render/suitpictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

using zqw::Suit;

// Shapes are drawn on a 16 by 16 grid.
constexpr qreal kGrid = 16;

QPainterPath heartShape() {
    QPainterPath path;
    path.moveTo(8, 14.6);
    path.cubicTo(3.2, 10.8, 0.6, 8.0, 1.2, 4.9);
    path.cubicTo(1.8, 1.6, 6.4, 0.9, 8, 4.3);
    path.cubicTo(9.6, 0.9, 14.2, 1.6, 14.8, 4.9);
    path.cubicTo(15.4, 8.0, 12.8, 10.8, 8, 14.6);
    path.closeSubpath();
    return path;
}

QPainterPath diamondShape() {
    QPainterPath path;
    path.moveTo(8, 0.8);
    path.quadTo(10.6, 4.8, 13.8, 8);
    path.quadTo(10.6, 11.2, 8, 15.2);
    path.quadTo(5.4, 11.2, 2.2, 8);
    path.quadTo(5.4, 4.8, 8, 0.8);
    path.closeSubpath();
    return path;
}

QPainterPath stemShape() {
    QPainterPath path;
    path.moveTo(7.4, 8.5);
    path.lineTo(8.6, 8.5);
    path.quadTo(8.9, 13.0, 11.2, 15.2);
    path.lineTo(4.8, 15.2);
    path.quadTo(7.1, 13.0, 7.4, 8.5);
    path.closeSubpath();
    return path;
}

QPainterPath spadeShape() {
    QPainterPath path;
    path.moveTo(8, 0.8);
    path.cubicTo(12.6, 4.4, 15.4, 6.6, 14.8, 9.6);
    path.cubicTo(14.2, 12.6, 9.8, 12.8, 8, 10.0);
    path.cubicTo(6.2, 12.8, 1.8, 12.6, 1.2, 9.6);
    path.cubicTo(0.6, 6.6, 3.4, 4.4, 8, 0.8);
    path.closeSubpath();
    return path.united(stemShape());
}

QPainterPath clubShape() {
    QPainterPath path;
    path.addEllipse(QPointF(8, 4.4), 3.4, 3.4);
    path.addEllipse(QPointF(4.3, 9.2), 3.4, 3.4);
    path.addEllipse(QPointF(11.7, 9.2), 3.4, 3.4);
    path.addEllipse(QPointF(8, 8.2), 1.8, 1.8);
    path.setFillRule(Qt::WindingFill);
    return path.simplified().united(stemShape());
}

const QPainterPath& shapeOf(Suit suit) {
    static const QPainterPath shapes[] = {clubShape(), diamondShape(), heartShape(), spadeShape()};
    return shapes[static_cast<int>(suit)];
}

}  // namespace

QColor suitColour(Suit suit) {
    return suit == Suit::Diamond || suit == Suit::Heart ? QColor(0xcc, 0x10, 0x10)
                                                        : QColor(Qt::black);
}

void paintSuitPicture(QPainter& painter, const QRectF& box, Suit suit, SuitPictureSet set) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(box.width() / kGrid, box.height() / kGrid);
    const QColor colour = suitColour(suit);
    if (set == SuitPictureSet::Large) {
        painter.setPen(QPen(colour.darker(160), 0.6));
        painter.setBrush(colour);
        painter.drawPath(shapeOf(suit));
    } else {
        // Fuller: the same shape grown about its centre, no outline.
        painter.translate(kGrid / 2, kGrid / 2);
        painter.scale(1.1, 1.1);
        painter.translate(-kGrid / 2, -kGrid / 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(shapeOf(suit));
    }
    painter.restore();
}

QImage suitPictureImage(Suit suit, SuitPictureSet set, const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintSuitPicture(painter, QRectF(QPointF(0, 0), QSizeF(size)), suit, set);
    return image;
}

void paintEmblem(QPainter& painter, const QRectF& box) {
    // Drawn on a 48 by 48 grid.
    constexpr qreal grid = 48;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(box.width() / grid, box.height() / grid);

    const QPointF centre(24, 24);
    constexpr qreal radius = 15;
    painter.setPen(QPen(QColor(0x10, 0x30, 0x70), 1.2));
    painter.setBrush(QColor(0x20, 0x70, 0xc0));
    painter.drawEllipse(centre, radius, radius);

    // Land, kept inside the globe.
    QPainterPath globe;
    globe.addEllipse(centre, radius, radius);
    QPainterPath land;
    land.moveTo(14, 15);
    land.cubicTo(18, 11, 24, 13, 23, 18);
    land.cubicTo(22, 23, 17, 22, 16, 27);
    land.cubicTo(15, 30, 11, 27, 11, 22);
    land.closeSubpath();
    land.moveTo(27, 22);
    land.cubicTo(31, 19, 37, 22, 36, 27);
    land.cubicTo(35, 33, 29, 36, 27, 32);
    land.cubicTo(25, 29, 25, 25, 27, 22);
    land.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x30, 0x90, 0x40));
    painter.drawPath(land.intersected(globe));

    // Meridians and parallels.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 0.7));
    painter.drawEllipse(centre, radius * 0.45, radius);
    painter.drawLine(QPointF(24, 9), QPointF(24, 39));
    painter.drawLine(QPointF(9, 24), QPointF(39, 24));
    painter.drawLine(QPointF(11.5, 16.5), QPointF(36.5, 16.5));
    painter.drawLine(QPointF(11.5, 31.5), QPointF(36.5, 31.5));
    painter.restore();

    // The suits in the corners: spade and heart above, diamond and club
    // below.
    const qreal unit = box.width() / grid;
    const qreal unitY = box.height() / grid;
    const struct {
        Suit suit;
        qreal x;
        qreal y;
    } corners[] = {
        {Suit::Spade, 0, 0}, {Suit::Heart, 35, 0}, {Suit::Diamond, 0, 35}, {Suit::Club, 35, 35}};
    for (const auto& corner : corners) {
        const QRectF suitBox(box.left() + corner.x * unit, box.top() + corner.y * unitY, 13 * unit,
                             13 * unitY);
        paintSuitPicture(painter, suitBox, corner.suit, SuitPictureSet::Large);
    }
}

QImage emblemImage(const QSize& size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintEmblem(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

void paintSuitPictureOverText(QPainter& painter, const QRectF& box, zqw::Suit suit,
                              SuitPictureSet set, const QFont& font) {
    static constexpr char16_t kCharacters[] = {0x2663, 0x2666, 0x2665, 0x2660};
    QFont sized = font;
    sized.setPixelSize(std::max(1, static_cast<int>(box.height() * 0.8)));
    const QFontMetricsF metrics(sized);
    painter.save();
    painter.setFont(sized);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(box.left(), box.bottom() - metrics.descent()),
                     QString(QChar(kCharacters[static_cast<int>(suit)])));
    painter.restore();
    paintSuitPicture(painter, box, suit, set);
}
