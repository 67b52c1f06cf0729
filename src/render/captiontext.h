#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <string>

// Turning the printouts' Windows-1252 captions into text to draw.

// The caption as Unicode. With suitsAsCharacters the four characters the
// card fonts draw as suits (} { ] [) become the suit characters U+2663,
// U+2666, U+2665 and U+2660, which the card fonts draw alike, so a PDF's
// text keeps its suits.
QString printableCaption(const std::string& text, bool suitsAsCharacters);

// The longest beginning of the caption that fits the width: captions never
// widen their labels.
QString fittedCaption(const QString& caption, const QFontMetricsF& metrics, qreal width);

class QColor;
class QPainter;
class QPointF;

// Draws a caption whose suit characters stand as high as its capital
// letters: the card fonts' suit shapes are a little smaller than a
// capital. The text itself is drawn as one run of the font, the suits in
// `background` (so a PDF's text keeps every word whole, suits included),
// and each suit's shape, scaled up to the cap height, is painted over its
// own.
void drawCaption(QPainter& painter, const QPointF& baseline, const QString& caption,
                 const QFont& font, const QColor& background);

// A font of the given family and point size for a device of dpi dots per
// inch, sized in dots so that it measures the same on every device.
QFont printFont(const QString& family, double points, double dpi, bool bold = false);

// The plain typeface of a card font, for printing suits as pictures:
// "Arial" for "CardArial", "Times" for "CardTimes", "Courier" for
// "CardCourier" and "Arial" for any other.
QString plainFamilyOf(const QString& cardFamily);
