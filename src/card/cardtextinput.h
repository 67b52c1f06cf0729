#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "card/texthelpers.h"

namespace zqw {

// Text that comes into the card from outside, typed, pasted or dropped into
// a cell, the notes, a column edit, a custom prompt or a search, is Unicode;
// the card holds Windows-1252 with suits as the display characters. This is
// the one place that decides how each character crosses over, which key
// types which suit, and which symbol a suit code stands for.

// --- suits ---------------------------------------------------------------

// The suit code a suit key types: F5 a club, F6 a diamond, F7 a heart, F8
// a spade (functionKey is the key's number, 5 for F5); 0 for any other key.
char suitCodeOfKey(int functionKey);

// The byte a suit code is shown as with the user's suit characters; the code
// itself for a setting that is no byte, and for a byte that is no suit code.
char suitDisplayByte(char code, const SuitChars& chars);

// The suit code of a display character, 0 for a byte that is none.
char suitCodeOfDisplayByte(char byte, const SuitChars& chars);

// The Unicode suit symbol of a suit code (U+2663 club, U+2666 diamond,
// U+2665 heart, U+2660 spade), which any font draws; 0 for another byte.
char32_t suitSymbolOfCode(char code);

// --- to Unicode ----------------------------------------------------------

// A card text (Windows-1252, suits stored as the codes 3-6) as UTF-8 with
// the suits as their symbols.
std::string cardTextToUnicode(std::string_view text);

// --- from Unicode --------------------------------------------------------

// What became of one character.
enum class CardCharacterKind {
    Kept,      // Windows-1252 holds it: its own byte
    Suit,      // a suit symbol (filled or outline): the suit's display character
    Replaced,  // Windows-1252 lacks it: a look-alike, or '?'
    Ignored,   // a variation selector: it only chooses how the character before it is drawn
};

struct CardCharacter {
    char byte = 0;  // unused when ignored
    CardCharacterKind kind = CardCharacterKind::Kept;
};

// One Unicode character as card text. A suit whose display character is no
// byte (a setting from elsewhere) stands as its suit code.
CardCharacter toCardCharacter(char32_t character, const SuitChars& chars);

// A character that had to be replaced, and the byte that stands for it.
struct ReplacedCharacter {
    char32_t character = 0;
    char replacement = '?';
    bool operator==(const ReplacedCharacter&) const = default;
};

struct CardTextInput {
    std::string text;  // Windows-1252, suits as display characters
    // Each replaced character once, in the order of its first appearance.
    std::vector<ReplacedCharacter> replaced;
};

// A UTF-8 text as card text; a malformed sequence counts as one replaced
// U+FFFD. Control characters are kept: where they may stand is the
// caller's business.
CardTextInput cardTextFromUtf8(std::string_view utf8, const SuitChars& chars);

// Adds a replaced character to a list that keeps each once, in order.
void noteReplaced(std::vector<ReplacedCharacter>& list, const ReplacedCharacter& replaced);

// "Ж by ?, − by -": what was replaced and by what, as UTF-8 for a message.
std::string describeReplacements(const std::vector<ReplacedCharacter>& replaced);

}  // namespace zqw
