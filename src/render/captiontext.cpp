#include "render/captiontext.h"

#include "card/cp1252.h"

QString printableCaption(const std::string& text, bool suitsAsCharacters) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (suitsAsCharacters) {
            switch (byte) {
                case '}':
                    out += QChar(0x2663);
                    continue;
                case '{':
                    out += QChar(0x2666);
                    continue;
                case ']':
                    out += QChar(0x2665);
                    continue;
                case '[':
                    out += QChar(0x2660);
                    continue;
                default:
                    break;
            }
        }
        out += QChar(static_cast<char16_t>(zqw::cp1252ToUnicode(byte)));
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
