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

TEST(CardTextInput, DescribesWhatWasReplacedAndByWhat) {
    EXPECT_EQ(describeReplacements({{0x0416, '?'}, {0x2212, '-'}, {0x2009, ' '}}),
              "\u0416 by ?, \u2212 by -, U+2009 by a space");
    EXPECT_EQ(describeReplacements({}), "");
}

}  // namespace
}  // namespace zqw
