#pragma once

#include <QStyledItemDelegate>

#include "dialogs/suittext.h"

// Draws an item view's items as the style does, all but the text, which a
// subclass draws with its suits in colour. Selected items, and items with no
// suit to colour, are the style's alone: red would not stand out against the
// selection colours.
class ColouredSuitsDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    virtual bool hasColour(const QString& text) const = 0;
    // Draws an item's text into the style's rectangle for it, keeping the
    // style's margin on each side; the painter is restored afterwards.
    virtual void drawText(QPainter& painter, const QStyleOptionViewItem& item,
                          const QRect& textRect, int margin, const QString& text) const = 0;
};

// The card's own suit characters in colour, in the card font.
class SuitTextDelegate : public ColouredSuitsDelegate {
    Q_OBJECT

public:
    explicit SuitTextDelegate(QObject* parent = nullptr);

    void setSuitText(const SuitText& suits) { suits_ = suits; }
    const SuitText& suitText() const { return suits_; }

protected:
    bool hasColour(const QString& text) const override { return suits_.hasColour(text); }
    void drawText(QPainter& painter, const QStyleOptionViewItem& item, const QRect& textRect,
                  int margin, const QString& text) const override;

private:
    SuitText suits_;
};
