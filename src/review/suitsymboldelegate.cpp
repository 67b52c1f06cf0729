#include "review/suitsymboldelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace {

const QColor kRed(192, 0, 0);

bool isRedSuit(QChar c) { return c == QChar(0x2665) || c == QChar(0x2666); }

}  // namespace

SuitSymbolDelegate::SuitSymbolDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void SuitSymbolDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // Red would not stand out against the selection colour.
    if ((item.state & QStyle::State_Selected) ||
        !std::any_of(item.text.cbegin(), item.text.cend(), isRedSuit)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = item.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const QString text = item.text;
    // The style draws everything but the text.
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
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

    painter->save();
    const QPalette::ColorGroup group =
        (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->setPen(item.palette.color(group, QPalette::Text));
    const qreal y = textRect.top() + (textRect.height() - line.height()) / 2;
    layout.draw(painter, QPointF(textRect.left() + margin, y));
    painter->restore();
}
