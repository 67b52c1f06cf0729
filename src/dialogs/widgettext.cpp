#include "dialogs/widgettext.h"

#include "card/cp1252.h"

namespace {

char suitCodeOfQtKey(int key) {
    if (key < Qt::Key_F1 || key > Qt::Key_F35) return 0;
    return zqw::suitCodeOfKey(key - Qt::Key_F1 + 1);
}

}  // namespace

QChar fromCardByte(char byte) {
    // Every Windows-1252 character lies in the Basic Multilingual Plane.
    return QChar(static_cast<char16_t>(zqw::cp1252ToUnicode(static_cast<unsigned char>(byte))));
}

QString fromCardText(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) text += fromCardByte(c);
    return text;
}

QString withSuitSymbols(const std::string& bytes) {
    return QString::fromStdString(zqw::cardTextToUnicode(bytes));
}

QString suitKeyText(int key, const zqw::SuitChars& chars) {
    const char code = suitCodeOfQtKey(key);
    return code ? QString(fromCardByte(zqw::suitDisplayByte(code, chars))) : QString();
}

bool isSuitKey(int key) { return suitCodeOfQtKey(key) != 0; }

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
