#include "review/suitsymboldelegate.h"

#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace {

const QColor kRed(192, 0, 0);

bool isRedSuit(QChar c) { return c == QChar(0x2665) || c == QChar(0x2666); }

}  // namespace

SuitSymbolDelegate::SuitSymbolDelegate(QObject* parent) : ColouredSuitsDelegate(parent) {}

bool SuitSymbolDelegate::hasColour(const QString& text) const {
    return std::any_of(text.cbegin(), text.cend(), isRedSuit);
}

void SuitSymbolDelegate::drawText(QPainter& painter, const QStyleOptionViewItem& item,
                                  const QRect& textRect, int margin, const QString& text) const {
    const QString shown =
        item.fontMetrics.elidedText(text, item.textElideMode, textRect.width() - 2 * margin);
    QList<QTextLayout::FormatRange> ranges;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!isRedSuit(shown.at(i))) continue;
        QTextLayout::FormatRange range;
        range.start = static_cast<int>(i);
        range.length = 1;
        range.format.setForeground(kRed);
        ranges.append(range);
    }
    QTextLayout layout(shown, item.font);
    layout.setFormats(ranges);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(textRect.width());
    layout.endLayout();

    const QPalette::ColorGroup group =
        (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter.setPen(item.palette.color(group, QPalette::Text));
    const qreal y = textRect.top() + (textRect.height() - line.height()) / 2;
    layout.draw(&painter, QPointF(textRect.left() + margin, y));
}
