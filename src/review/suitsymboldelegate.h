#pragma once

#include "dialogs/suittextdelegate.h"

// Draws list items as the style does, with the suit symbols of their text
// (U+2665, U+2666 red; U+2660, U+2663 in the text colour) coloured as on a
// printed card. The card's own suit characters are no help here: these
// lists show card text converted to Unicode, in the window's font.
class SuitSymbolDelegate : public ColouredSuitsDelegate {
    Q_OBJECT

public:
    explicit SuitSymbolDelegate(QObject* parent = nullptr);

protected:
    bool hasColour(const QString& text) const override;
    void drawText(QPainter& painter, const QStyleOptionViewItem& item, const QRect& textRect,
                  int margin, const QString& text) const override;
};
