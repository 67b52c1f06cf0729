#include "render/captiontext.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>

#include "card/cardtextinput.h"
#include "card/cp1252.h"

namespace {

bool isSuit(QChar c) {
    const char16_t u = c.unicode();
    return u == 0x2660 || u == 0x2663 || u == 0x2665 || u == 0x2666;
}

}  // namespace

void drawCaption(QPainter& painter, const QPointF& baseline, const QString& caption,
                 const QFont& font, const QColor& background) {
    painter.setFont(font);
    if (std::none_of(caption.begin(), caption.end(), isSuit)) {
        painter.drawText(baseline, caption);
        return;
    }
    const QFontMetricsF metrics(font);
    const QColor ink = painter.pen().color();
    QPointF at = baseline;
    qsizetype start = 0;
    const auto flush = [&](qsizetype end) {
        if (end <= start) return;
        const QString run = caption.mid(start, end - start);
        painter.drawText(at, run);
        at.rx() += metrics.horizontalAdvance(run);
    };
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (!isSuit(caption[i])) continue;
        flush(i);
        start = i + 1;
        const QString suit(caption[i]);
        // The suit as text, unseen on its background.
        painter.setPen(background);
        painter.drawText(at, suit);
        painter.setPen(ink);
        // Its shape, as high as a capital and centred on the text's one.
        const QRectF small = metrics.tightBoundingRect(suit).translated(at);
        const qreal scale =
            small.height() > 0 ? std::max<qreal>(1, metrics.capHeight() / small.height()) : 1;
        QPainterPath shape;
        shape.addText(QPointF(0, 0), font, suit);
        QTransform place;
        place.translate(small.center().x(), small.bottom());
        place.scale(scale, scale);
        const QRectF natural = shape.boundingRect();
        place.translate(-natural.center().x(), -natural.bottom());
        painter.fillPath(place.map(shape), ink);
        at.rx() += metrics.horizontalAdvance(suit);
    }
    flush(caption.size());
}

QString printableCaption(const std::string& text, bool suitsAsCharacters) {
    // The card fonts draw their own characters as suits, whatever the
    // user's suit setting.
    const zqw::SuitChars cardFontChars;
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const char code = suitsAsCharacters ? zqw::suitCodeOfDisplayByte(c, cardFontChars) : 0;
        const char32_t shown = code ? zqw::suitSymbolOfCode(code)
                                    : zqw::cp1252ToUnicode(static_cast<unsigned char>(c));
        // Suit symbols and Windows-1252 lie in the Basic Multilingual Plane.
        out += QChar(static_cast<char16_t>(shown));
    }
    return out;
}

QString fittedCaption(const QString& caption, const QFontMetricsF& metrics, qreal width) {
    if (width <= 0) return {};
    if (metrics.horizontalAdvance(caption) <= width) return caption;
    qsizetype fits = 0;
    qsizetype tooLong = caption.size();
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (metrics.horizontalAdvance(caption.left(middle)) <= width) {
            fits = middle;
        } else {
            tooLong = middle;
        }
    }
    return caption.left(fits);
}

QFont printFont(const QString& family, double points, double dpi, bool bold) {
    QFont font(family);
    font.setPixelSize(qMax(1, qRound(points * dpi / 72.0)));
    font.setBold(bold);
    // Unhinted outlines measure in proportion to their size, so widths
    // worked out for the layout hold on paper too.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString plainFamilyOf(const QString& cardFamily) {
    if (cardFamily == QLatin1String("CardTimes")) return QStringLiteral("Times");
    if (cardFamily == QLatin1String("CardCourier")) return QStringLiteral("Courier");
    return QStringLiteral("Arial");
}
