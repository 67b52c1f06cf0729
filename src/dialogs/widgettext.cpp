#include "dialogs/widgettext.h"

#include "card/cp1252.h"

namespace {

QChar shownChar(char byte) {
    // Every Windows-1252 character lies in the Basic Multilingual Plane.
    return QChar(static_cast<char16_t>(zqw::cp1252ToUnicode(static_cast<unsigned char>(byte))));
}

}  // namespace

QString fromCardText(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) text += shownChar(c);
    return text;
}

CardTextEntry enterCardText(const QString& text, const zqw::SuitChars& chars) {
    CardTextEntry entry;
    entry.shown.reserve(text.size());
    entry.bytes.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size();) {
        const auto [c, length] = characterAt(text, i);
        i += length;
        const zqw::CardCharacter card = zqw::toCardCharacter(c, chars);
        if (card.kind == zqw::CardCharacterKind::Ignored) continue;
        entry.bytes += card.byte;
        entry.shown += shownChar(card.byte);
        if (card.kind == zqw::CardCharacterKind::Replaced)
            zqw::noteReplaced(entry.replaced, {c, card.byte});
    }
    return entry;
}

QString replacementNote(const std::vector<zqw::ReplacedCharacter>& replaced, const QString& store) {
    if (replaced.empty()) return {};
    return QStringLiteral("Replaced, as ") + store + QStringLiteral(" cannot store them: ") +
           QString::fromStdString(zqw::describeReplacements(replaced));
}
