#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

#include "card/printtext.h"

class QFont;
class QPainter;

// Our own drawings of the four suits and of the card's emblem, drawn as
// vector paths so they stay sharp on paper, in a PDF and on screen. Clubs
// and spades are black, diamonds and hearts red.
//
// Two sets: the large set, with a fine outline, for print fonts of 9 points
// and more; the small set, fuller and without outline, stays legible at the
// smaller sizes.
enum class SuitPictureSet { Small, Large };

QColor suitColour(zqw::Suit suit);

// Draws the suit stretched over the box, as a 16 by 16 picture would be.
void paintSuitPicture(QPainter& painter, const QRectF& box, zqw::Suit suit, SuitPictureSet set);
// The picture over the suit character drawn in white in the font, sized
// to the box: the page looks the same, and a PDF's text still reads and
// finds the suit.
void paintSuitPictureOverText(QPainter& painter, const QRectF& box, zqw::Suit suit,
                              SuitPictureSet set, const QFont& font);
QImage suitPictureImage(zqw::Suit suit, SuitPictureSet set, const QSize& size);

// The emblem: a globe with the four suits around it, drawn over the box.
void paintEmblem(QPainter& painter, const QRectF& box);
QImage emblemImage(const QSize& size);
