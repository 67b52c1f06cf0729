#include "dialogs/suittextdelegate.h"

#include <QApplication>
#include <QPainter>

void ColouredSuitsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    if (!hasColour(item.text) || (item.state & QStyle::State_Selected)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QWidget* widget = item.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const QString text = item.text;
    // The style draws everything but the text: background, focus, icon.
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    // The margin the style keeps on each side of an item's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    painter->save();
    drawText(*painter, item, textRect, margin, text);
    painter->restore();
}

SuitTextDelegate::SuitTextDelegate(QObject* parent) : ColouredSuitsDelegate(parent) {}

void SuitTextDelegate::drawText(QPainter& painter, const QStyleOptionViewItem& item,
                                const QRect& textRect, int margin, const QString& text) const {
    const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (item.state & QStyle::State_Active) ? QPalette::Normal
                                                                             : QPalette::Inactive;
    painter.setPen(item.palette.color(group, QPalette::Text));
    painter.setFont(item.font);
    drawSuitText(painter, textRect, item.displayAlignment, text, item.textElideMode, suits_,
                 item.palette, margin);
}
