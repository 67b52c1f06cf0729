#include "views/celltextvalidator.h"

#include "card/cp1252.h"
#include "document/cardtext.h"

namespace {

// Suit codes are control characters too, but they are what the card stores
// for its suits.
bool isSuitCode(char32_t c) { return c >= 3 && c <= 6; }

// C0 and C1 controls; Windows-1252 keeps five C1 codes only so that every
// byte of a file survives a round trip.
bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

CellTextValidator::CellTextValidator(QObject* parent) : QValidator(parent) {}

QString CellTextValidator::clean(QString& text, int* pos) {
    QString kept;
    QString leftOut;
    kept.reserve(text.size());
    const int caret = pos ? *pos : 0;
    int removedBeforeCaret = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype at = i;
        const auto [c, length] = characterAt(text, i);
        i += length;
        // A line break written CR LF is one break.
        if (c == '\r' && i < text.size() && text.at(i) == QLatin1Char('\n')) {
            ++i;
            if (at + 1 < caret) ++removedBeforeCaret;
        }
        if (isControl(c) && !isSuitCode(c)) {
            kept += QLatin1Char(' ');
        } else if (isControl(c) || zqw::unicodeToCp1252(c) >= 0) {
            kept += text.mid(at, length);
        } else {
            const QString character = text.mid(at, length);
            if (!leftOut.contains(character)) leftOut += character;
            // The caret stays where it was relative to the kept text.
            if (at < caret) removedBeforeCaret += static_cast<int>(length);
        }
    }
    text = kept;
    if (pos) *pos = std::clamp(caret - removedBeforeCaret, 0, static_cast<int>(text.size()));
    return leftOut;
}

QValidator::State CellTextValidator::validate(QString& input, int& pos) const {
    const QString leftOut = clean(input, &pos);
    if (!leftOut.isEmpty()) emit charactersLeftOut(leftOut);
    return Acceptable;
}
