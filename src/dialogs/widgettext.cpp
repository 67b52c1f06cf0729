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
    zqw::CardTextInput input = zqw::cardTextFromUtf8(text.toStdString(), chars);
    CardTextEntry entry;
    entry.shown = fromCardText(input.text);
    entry.bytes = std::move(input.text);
    entry.replaced = std::move(input.replaced);
    return entry;
}

QString replacementNote(const std::vector<zqw::ReplacedCharacter>& replaced, const QString& store) {
    if (replaced.empty()) return {};
    return QStringLiteral("Replaced, as ") + store + QStringLiteral(" cannot store them: ") +
           QString::fromStdString(zqw::describeReplacements(replaced));
}
