#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QTextLayout>
#include <array>

#include "card/texthelpers.h"

class QPainter;
class QPalette;
class QRect;

// The suits in card text on screen. The card fonts draw four ordinary
// characters as suit symbols: this knows which characters those are, the
// colours they are drawn in (hearts and diamonds red, clubs and spades black,
// as on a printed card) and the words a screen reader should say for them.
class SuitText {
public:
    // The card fonts' own characters, coloured.
    SuitText() = default;
    SuitText(const zqw::SuitChars& chars, bool coloured);

    bool isColoured() const { return coloured_; }
    // The characters drawn as suits, as the card's settings give them.
    const zqw::SuitChars& suitChars() const { return suitChars_; }

    // The colour a character is drawn in on a palette; invalid for a
    // character that is no suit, and for every character when colouring is
    // off.
    QColor colourOf(QChar c, const QPalette& palette) const;
    // The stretches of a text to draw in the suit colours.
    QList<QTextLayout::FormatRange> colourRanges(const QString& text,
                                                 const QPalette& palette) const;
    // Whether a text holds a character that is drawn in a suit colour.
    bool hasColour(const QString& text) const;
    // The text as it is read aloud: every suit a word ("1] 5+" becomes
    // "1 hearts 5+"). Suit codes a text was not translated from (headings
    // keep them) are read the same way.
    QString spoken(const QString& text) const;

private:
    // club, diamond, heart, spade; -1 for no suit.
    int suitOf(QChar c) const;

    std::array<QChar, 4> chars_ = {QLatin1Char('}'), QLatin1Char('{'), QLatin1Char(']'),
                                   QLatin1Char('[')};
    zqw::SuitChars suitChars_;
    bool coloured_ = true;
};

// Draws one line of an item view's text as its style would (margins,
// alignment, elision at the end), with the suits in their colours. The
// painter's pen is the colour of the rest of the text.
void drawSuitText(QPainter& painter, const QRect& itemTextRect, int alignment, const QString& text,
                  Qt::TextElideMode elide, const SuitText& suits, const QPalette& palette,
                  int textMargin);
