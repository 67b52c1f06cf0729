#include "card/cardtextinput.h"

#include <algorithm>
#include <cstdio>

#include "card/card.h"
#include "card/cp1252.h"

namespace zqw {

namespace {

// Characters with a plain look-alike in Windows-1252. Anything not listed
// becomes '?', which never passes for something it is not.
struct LookAlike {
    char32_t first;
    char32_t last;
    char byte;
};
constexpr LookAlike kLookAlikes[] = {
    {0x2000, 0x200A, ' '},   // spaces of typesetting widths
    {0x202F, 0x202F, ' '},   // narrow no-break space
    {0x205F, 0x205F, ' '},   // medium mathematical space
    {0x3000, 0x3000, ' '},   // ideographic space
    {0x2010, 0x2012, '-'},   // hyphen, non-breaking hyphen, figure dash
    {0x2043, 0x2043, '-'},   // hyphen bullet
    {0x2212, 0x2212, '-'},   // minus sign
    {0x2032, 0x2032, '\''},  // prime
    {0x2033, 0x2033, '"'},   // double prime
    {0x2044, 0x2044, '/'},   // fraction slash
    {0x2215, 0x2215, '/'},   // division slash
};

// The suit of a suit symbol, filled (U+2660 spade, U+2663 club, U+2665
// heart, U+2666 diamond) or outline (U+2664, U+2667, U+2661, U+2662), as
// its card code; 0 for any other character.
char suitCode(char32_t c) {
    switch (c) {
        case 0x2663:
        case 0x2667:
            return kClubCode;
        case 0x2666:
        case 0x2662:
            return kDiamondCode;
        case 0x2665:
        case 0x2661:
            return kHeartCode;
        case 0x2660:
        case 0x2664:
            return kSpadeCode;
        default:
            return 0;
    }
}

// The setting that holds a suit code's display character; nullptr for a
// byte that is no suit code.
const int* displaySetting(char code, const SuitChars& chars) {
    switch (code) {
        case kClubCode:
            return &chars.club;
        case kDiamondCode:
            return &chars.diamond;
        case kHeartCode:
            return &chars.heart;
        case kSpadeCode:
            return &chars.spade;
        default:
            return nullptr;
    }
}

}  // namespace

char suitCodeOfKey(int functionKey) {
    static constexpr char kKeyCodes[] = {kClubCode, kDiamondCode, kHeartCode, kSpadeCode};
    if (functionKey < 5 || functionKey > 8) return 0;
    return kKeyCodes[functionKey - 5];
}

char suitDisplayByte(char code, const SuitChars& chars) {
    const int* display = displaySetting(code, chars);
    if (!display || *display < 0 || *display > 255) return code;
    return static_cast<char>(*display);
}

char suitCodeOfDisplayByte(char byte, const SuitChars& chars) {
    for (const char code : {kClubCode, kDiamondCode, kHeartCode, kSpadeCode}) {
        if (static_cast<unsigned char>(byte) == *displaySetting(code, chars)) return code;
    }
    return 0;
}

char32_t suitSymbolOfCode(char code) {
    switch (code) {
        case kClubCode:
            return 0x2663;
        case kDiamondCode:
            return 0x2666;
        case kHeartCode:
            return 0x2665;
        case kSpadeCode:
            return 0x2660;
        default:
            return 0;
    }
}

std::string cardTextToUnicode(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const char32_t symbol = suitSymbolOfCode(c);
        appendUtf8(utf8, symbol ? symbol : cp1252ToUnicode(static_cast<unsigned char>(c)));
    }
    return utf8;
}

CardCharacter toCardCharacter(char32_t c, const SuitChars& chars) {
    if (const char code = suitCode(c))
        return {suitDisplayByte(code, chars), CardCharacterKind::Suit};
    if (c == 0xFE0E || c == 0xFE0F) return {0, CardCharacterKind::Ignored};
    if (const int byte = unicodeToCp1252(c); byte >= 0)
        return {static_cast<char>(byte), CardCharacterKind::Kept};
    for (const LookAlike& look : kLookAlikes) {
        if (c >= look.first && c <= look.last) return {look.byte, CardCharacterKind::Replaced};
    }
    return {'?', CardCharacterKind::Replaced};
}

void noteReplaced(std::vector<ReplacedCharacter>& list, const ReplacedCharacter& replaced) {
    if (std::find(list.begin(), list.end(), replaced) == list.end()) list.push_back(replaced);
}

CardTextInput cardTextFromUtf8(std::string_view utf8, const SuitChars& chars) {
    CardTextInput result;
    result.text.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const char32_t c = nextCodePoint(utf8, i);
        const CardCharacter card = toCardCharacter(c, chars);
        if (card.kind == CardCharacterKind::Ignored) continue;
        result.text += card.byte;
        if (card.kind == CardCharacterKind::Replaced) noteReplaced(result.replaced, {c, card.byte});
    }
    return result;
}

std::string describeReplacements(const std::vector<ReplacedCharacter>& replaced) {
    std::string text;
    for (const ReplacedCharacter& each : replaced) {
        if (!text.empty()) text += ", ";
        if (each.replacement == ' ') {
            // A space of another width is invisible in a message: its number says it.
            char number[16];
            std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(each.character));
            text += number;
            text += " by a space";
            continue;
        }
        appendUtf8(text, each.character);
        text += " by ";
        appendUtf8(text, cp1252ToUnicode(static_cast<unsigned char>(each.replacement)));
    }
    return text;
}

}  // namespace zqw
