#pragma once

#include <QString>
#include <string>
#include <vector>

#include "card/cardtextinput.h"

// Card text in widgets. Widgets hold Unicode; the card holds Windows-1252
// with the suits as display characters ('}' '{' ']' '[' unless the user
// chose others), which the card fonts draw as suits.

// The character that starts at index i of a widget's text, a surrogate pair
// being one character, and how many UTF-16 units it takes there.
struct TextCharacter {
    char32_t code;
    qsizetype length;
};
inline TextCharacter characterAt(const QString& text, qsizetype i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return {QChar::surrogateToUcs4(text.at(i), text.at(i + 1)), 2};
    return {text.at(i).unicode(), 1};
}

// Card text (Windows-1252) as a widget shows it.
QString fromCardText(const std::string& bytes);
QChar fromCardByte(char byte);

// Card text for the editor's own words (menu captions, messages): suit codes
// as the suit symbols themselves, which any font draws.
QString withSuitSymbols(const std::string& bytes);

// What a suit key types (F5 a club, F6 a diamond, F7 a heart, F8 a spade):
// the suit's display character; empty for any other key.
QString suitKeyText(int key, const zqw::SuitChars& chars);
bool isSuitKey(int key);

// Text a user puts in, as the card will hold it (see zqw::toCardCharacter):
// suit symbols (♣ ♦ ♥ ♠, filled or outline, as our own PDFs give them
// back) become the display characters, a character Windows-1252 lacks is
// replaced, and the replacements are listed so they can be said.
struct CardTextEntry {
    // The text as the widget shows it: only characters the card holds.
    QString shown;
    // The same as card text.
    std::string bytes;
    std::vector<zqw::ReplacedCharacter> replaced;
};
CardTextEntry enterCardText(const QString& text, const zqw::SuitChars& chars);

// "Replaced, as a card file cannot store them: Ж by ?" with the store's
// name given ("a card file", "a notes file"); empty when nothing was.
QString replacementNote(const std::vector<zqw::ReplacedCharacter>& replaced, const QString& store);
