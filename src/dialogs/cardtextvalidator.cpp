#include "dialogs/cardtextvalidator.h"

#include <algorithm>

namespace {

// Suit codes are control characters too, but they are what the card stores
// for its suits.
bool isSuitCode(char32_t c) { return c >= 3 && c <= 6; }

// C0 and C1 controls; Windows-1252 keeps five C1 codes only so that every
// byte of a file survives a round trip.
bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

CardTextValidator::CardTextValidator(QObject* parent) : QValidator(parent) {}

CardTextValidator::Cleaned CardTextValidator::clean(QString& text, const zqw::SuitChars& chars,
                                                    int limit, int* pos) {
    Cleaned cleaned;
    QString kept;
    kept.reserve(text.size());
    const qsizetype caret = pos ? *pos : text.size();
    qsizetype keptCaret = -1;
    qsizetype i = 0;
    while (i < text.size()) {
        if (keptCaret < 0 && i >= caret) keptCaret = kept.size();
        const auto [c, length] = characterAt(text, i);
        i += length;
        // A line break written CR LF is one break.
        if (c == '\r' && i < text.size() && text.at(i) == QLatin1Char('\n')) ++i;
        if (isControl(c) && !isSuitCode(c)) {
            kept += QLatin1Char(' ');
            continue;
        }
        const zqw::CardCharacter card = zqw::toCardCharacter(c, chars);
        if (card.kind == zqw::CardCharacterKind::Ignored) continue;
        kept += fromCardText(std::string(1, card.byte));
        if (card.kind == zqw::CardCharacterKind::Replaced)
            zqw::noteReplaced(cleaned.replaced, {c, card.byte});
    }
    if (keptCaret < 0) keptCaret = kept.size();
    if (limit > 0 && kept.size() > limit) {
        // What goes past the limit is the end of what was just put in, which
        // ends at the caret; a caret too near the start cuts the end.
        const qsizetype excess = kept.size() - limit;
        const qsizetype from = keptCaret >= excess ? keptCaret - excess : kept.size() - excess;
        kept.remove(from, excess);
        if (keptCaret > from) keptCaret = std::max(from, keptCaret - excess);
        cleaned.cut = true;
    }
    text = kept;
    if (pos) *pos = static_cast<int>(std::clamp<qsizetype>(keptCaret, 0, text.size()));
    return cleaned;
}

QValidator::State CardTextValidator::validate(QString& input, int& pos) const {
    const Cleaned cleaned = clean(input, chars_, limit_, &pos);
    if (!cleaned.replaced.empty()) emit charactersReplaced(cleaned.replaced);
    if (cleaned.cut) emit lengthLimitReached();
    return Acceptable;
}
