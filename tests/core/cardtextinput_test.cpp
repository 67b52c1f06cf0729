#include "card/cardtextinput.h"

#include <gtest/gtest.h>

#include "card/cp1252.h"

namespace zqw {
namespace {

struct InputCase {
    const char* what;
    std::string utf8;
    std::string text;
    std::vector<ReplacedCharacter> replaced;
};

class CardTextInputCases : public ::testing::TestWithParam<InputCase> {};

TEST_P(CardTextInputCases, BecomesCardTextAndSaysWhatWasReplaced) {
    const CardTextInput input = cardTextFromUtf8(GetParam().utf8, SuitChars{});
    EXPECT_EQ(input.text, GetParam().text) << GetParam().what;
    EXPECT_EQ(input.replaced, GetParam().replaced) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CardTextInputCases,
    ::testing::Values(
        // ♣ ♦ ♥ ♠ as a printed card's PDF gives them back.
        InputCase{"filled suits", "1\u2663 1\u2666 1\u2665 1\u2660", "1} 1{ 1] 1[", {}},
        InputCase{"outline suits", "\u2667\u2662\u2661\u2664", "}{][", {}},
        // A phone's suit is the symbol followed by a variation selector.
        InputCase{"emoji-style spade", "2\u2660\uFE0F", "2[", {}},
        InputCase{"Windows-1252 kept",
                  "caf\u00e9 \u20ac5 \u201cq\u201d",
                  "caf\xE9 \x80"
                  "5 \x93q\x94",
                  {}},
        InputCase{"suit codes and controls kept",
                  std::string("\x05\t\r\n", 4),
                  std::string("\x05\t\r\n", 4),
                  {}},
        InputCase{
            "look-alikes", "15\u221217 a\u2009b", "15-17 a b", {{0x2212, '-'}, {0x2009, ' '}}},
        InputCase{"others become ? and each is said once",
                  "\u0416\u03a9\u0416\U0001F600",
                  "????",
                  {{0x0416, '?'}, {0x03a9, '?'}, {0x1F600, '?'}}},
        InputCase{"malformed UTF-8", "a\xC3", "a?", {{0xFFFD, '?'}}},
        InputCase{"overlong form", "\xC0\xAF", "?", {{0xFFFD, '?'}}}));

TEST(CardTextInput, SuitsBecomeTheDisplayCharactersInForce) {
    SuitChars chars;
    chars.club = 'c';
    chars.diamond = 'd';
    chars.heart = 'h';
    chars.spade = 's';
    EXPECT_EQ(cardTextFromUtf8("\u2663\u2666\u2665\u2660", chars).text, "cdhs");
    // A display character that is no byte leaves the suit as its code.
    chars.heart = 0x2665;
    EXPECT_EQ(cardTextFromUtf8("\u2661", chars).text, "\x03");
}

TEST(CardTextInput, KeptCharactersReadBackAsThemselvesAndNoneIsLost) {
    for (char32_t c = 0; c < 0x30000; c += (c < 0x3000 ? 1 : 97)) {
        const CardCharacter card = toCardCharacter(c, SuitChars{});
        switch (card.kind) {
            case CardCharacterKind::Kept:
                EXPECT_EQ(cp1252ToUnicode(static_cast<unsigned char>(card.byte)), c);
                break;
            case CardCharacterKind::Ignored:
                EXPECT_TRUE(c == 0xFE0E || c == 0xFE0F) << std::hex << static_cast<unsigned>(c);
                break;
            default:
                // Something always stands where the character was.
                EXPECT_NE(card.byte, 0) << std::hex << static_cast<unsigned>(c);
        }
    }
}

// --- suits: keys, display characters and symbols ---------------------------------

// The four suits each way the card text crosses: the key that types it, its
// code, its display character with the card font's own characters and with
// characters a user chose (bytes above 127 among them), and its symbol.
struct SuitCase {
    int functionKey;
    char code;
    char fontDisplay;
    char chosenDisplay;
    char32_t symbol;
};

SuitChars chosenChars() {
    SuitChars chars;
    chars.club = 0xA7;
    chars.diamond = 'd';
    chars.heart = 0xB6;
    chars.spade = 's';
    return chars;
}

class SuitCrossing : public ::testing::TestWithParam<SuitCase> {};

TEST_P(SuitCrossing, KeyCodeDisplayAndSymbolAgree) {
    const SuitCase& c = GetParam();
    EXPECT_EQ(suitCodeOfKey(c.functionKey), c.code);
    EXPECT_EQ(suitDisplayByte(c.code, SuitChars{}), c.fontDisplay);
    EXPECT_EQ(suitDisplayByte(c.code, chosenChars()), c.chosenDisplay);
    EXPECT_EQ(suitCodeOfDisplayByte(c.fontDisplay, SuitChars{}), c.code);
    EXPECT_EQ(suitCodeOfDisplayByte(c.chosenDisplay, chosenChars()), c.code);
    EXPECT_EQ(suitSymbolOfCode(c.code), c.symbol);
    // The symbol typed or pasted comes back as the key would have typed it.
    std::string symbol;
    appendUtf8(symbol, c.symbol);
    EXPECT_EQ(cardTextFromUtf8(symbol, chosenChars()).text, std::string(1, c.chosenDisplay));
}

INSTANTIATE_TEST_SUITE_P(Suits, SuitCrossing,
                         ::testing::Values(SuitCase{5, '\x05', '}', '\xA7', 0x2663},
                                           SuitCase{6, '\x04', '{', 'd', 0x2666},
                                           SuitCase{7, '\x03', ']', '\xB6', 0x2665},
                                           SuitCase{8, '\x06', '[', 's', 0x2660}));

TEST(CardTextInput, OtherKeysAndBytesAreNoSuits) {
    for (const int key : {-1, 0, 1, 4, 9, 10, 12, 35}) EXPECT_EQ(suitCodeOfKey(key), 0) << key;
    for (const char byte : {'\0', '\x02', '\x07', 'a', '}', '\xA7'}) {
        EXPECT_EQ(suitSymbolOfCode(byte), 0u) << int(byte);
        // A byte that is no suit code shows as itself.
        EXPECT_EQ(suitDisplayByte(byte, chosenChars()), byte) << int(byte);
    }
    EXPECT_EQ(suitCodeOfDisplayByte('}', chosenChars()), 0);
    EXPECT_EQ(suitCodeOfDisplayByte('\xA7', SuitChars{}), 0);
    // A setting that is no byte leaves the suit as its code.
    SuitChars wide;
    wide.heart = 0x2665;
    EXPECT_EQ(suitDisplayByte('\x03', wide), '\x03');
    // nor is its low byte taken for it.
    EXPECT_EQ(suitCodeOfDisplayByte('\x65', wide), 0);
}

struct UnicodeCase {
    const char* what;
    std::string bytes;
    std::string utf8;
};

class CardTextToUnicodeCases : public ::testing::TestWithParam<UnicodeCase> {};

TEST_P(CardTextToUnicodeCases, ShowsSuitCodesAsSymbols) {
    EXPECT_EQ(cardTextToUnicode(GetParam().bytes), GetParam().utf8) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CardTextToUnicodeCases,
    ::testing::Values(
        UnicodeCase{"empty", "", ""},
        UnicodeCase{"codes", "1\x05 2\x04 3\x03 4\x06NT", "1\u2663 2\u2666 3\u2665 4\u2660NT"},
        // Display characters are no codes: they stay.
        UnicodeCase{"display characters", "1}", "1}"},
        UnicodeCase{"Windows-1252", "\x80 caf\xE9", "\u20ac caf\u00e9"},
        // Undefined bytes survive as the C1 controls of the same value.
        UnicodeCase{"undefined byte", "\x81", "\u0081"},
        UnicodeCase{"other controls", std::string("\0\x07", 2), std::string("\0\x07", 2)}));

TEST(CardTextInput, DescribesWhatWasReplacedAndByWhat) {
    EXPECT_EQ(describeReplacements({{0x0416, '?'}, {0x2212, '-'}, {0x2009, ' '}}),
              "\u0416 by ?, \u2212 by -, U+2009 by a space");
    EXPECT_EQ(describeReplacements({}), "");
}

}  // namespace
}  // namespace zqw
