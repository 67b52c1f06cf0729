#pragma once

#include <QStyledItemDelegate>

#include "dialogs/suittext.h"

// Draws an item view's items as the style does, but with the suits of their
// text in colour. Selected items keep the style's selection colours, which
// red would not stand out against.
class SuitTextDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit SuitTextDelegate(QObject* parent = nullptr);

    void setSuitText(const SuitText& suits) { suits_ = suits; }
    const SuitText& suitText() const { return suits_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    SuitText suits_;
};
