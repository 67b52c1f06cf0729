#include "dialogs/suittext.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QTextCharFormat>

#include "dialogs/widgettext.h"

namespace {

enum Suit { Club, Diamond, Heart, Spade };

const char* const kSuitWords[4] = {"clubs", "diamonds", "hearts", "spades"};

// The codes card text stores suits as. Headings are shown as the template
// has them, so a heading may hold a code rather than its display character.
constexpr char16_t kSuitCodes[4] = {5, 4, 3, 6};

QChar displayChar(int code) { return fromCardByte(static_cast<char>(code)); }

bool isRed(int suit) { return suit == Diamond || suit == Heart; }

// A dark background (a dark desktop theme) would swallow black and dark
// red; there the suits take the text colour and a lighter red.
bool isDark(const QPalette& palette) { return palette.color(QPalette::Base).lightness() < 128; }

}  // namespace

SuitText::SuitText(const zqw::SuitChars& chars, bool coloured)
    : chars_{displayChar(chars.club), displayChar(chars.diamond), displayChar(chars.heart),
             displayChar(chars.spade)},
      suitChars_(chars),
      coloured_(coloured) {}

int SuitText::suitOf(QChar c) const {
    for (int suit = Club; suit <= Spade; ++suit) {
        if (c == chars_[suit]) return suit;
    }
    return -1;
}

QColor SuitText::colourOf(QChar c, const QPalette& palette) const {
    const int suit = coloured_ ? suitOf(c) : -1;
    if (suit < 0) return {};
    if (isDark(palette)) return isRed(suit) ? QColor(255, 110, 110) : palette.color(QPalette::Text);
    // A darker red than pure red: it reads as red and keeps the contrast of
    // body text against white.
    return isRed(suit) ? QColor(192, 0, 0) : QColor(Qt::black);
}

QList<QTextLayout::FormatRange> SuitText::colourRanges(const QString& text,
                                                       const QPalette& palette) const {
    QList<QTextLayout::FormatRange> ranges;
    if (!coloured_) return ranges;
    for (int i = 0; i < text.size(); ++i) {
        const QColor colour = colourOf(text.at(i), palette);
        if (!colour.isValid()) continue;
        // Suits of one colour side by side make one stretch.
        if (!ranges.isEmpty() && ranges.last().start + ranges.last().length == i &&
            ranges.last().format.foreground().color() == colour) {
            ++ranges.last().length;
            continue;
        }
        QTextLayout::FormatRange range;
        range.start = i;
        range.length = 1;
        range.format.setForeground(colour);
        ranges.append(range);
    }
    return ranges;
}

bool SuitText::hasColour(const QString& text) const {
    if (!coloured_) return false;
    for (const QChar c : text) {
        if (suitOf(c) >= 0) return true;
    }
    return false;
}

QString SuitText::spoken(const QString& text) const {
    QString said;
    said.reserve(text.size() * 2);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        int suit = suitOf(c);
        for (int code = Club; suit < 0 && code <= Spade; ++code) {
            if (c.unicode() == kSuitCodes[code]) suit = code;
        }
        if (suit < 0) {
            said += c;
            continue;
        }
        // "1]" is said "1 hearts", "}x" "clubs x": the word stands apart
        // from letters and digits, not from spaces or punctuation.
        if (!said.isEmpty() && said.back().isLetterOrNumber()) said += QLatin1Char(' ');
        said += QLatin1String(kSuitWords[suit]);
        if (i + 1 < text.size() && text.at(i + 1).isLetterOrNumber()) said += QLatin1Char(' ');
    }
    return said;
}

void drawSuitText(QPainter& painter, const QRect& itemTextRect, int alignment, const QString& text,
                  Qt::TextElideMode elide, const SuitText& suits, const QPalette& palette,
                  int textMargin) {
    const QRect textRect = itemTextRect.adjusted(textMargin, 0, -textMargin, 0);
    const QString shown = QFontMetrics(painter.font()).elidedText(text, elide, textRect.width());
    QTextLayout layout(shown, painter.font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(
        QStyle::visualAlignment(painter.layoutDirection(), Qt::Alignment(alignment)) &
        Qt::AlignHorizontal_Mask);
    layout.setTextOption(option);
    // The colours go by character, so the ranges are those of the elided text.
    layout.setFormats(suits.colourRanges(shown, palette));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return;
    }
    line.setLineWidth(textRect.width());
    line.setPosition(QPointF(0, 0));
    layout.endLayout();

    const int height = qCeil(line.height());
    int top = textRect.top();
    if (alignment & Qt::AlignVCenter) {
        top += (textRect.height() - height) / 2;
    } else if (alignment & Qt::AlignBottom) {
        top += textRect.height() - height;
    }
    painter.save();
    painter.setClipRect(itemTextRect, Qt::IntersectClip);
    layout.draw(&painter, QPointF(textRect.left(), top));
    painter.restore();
}
