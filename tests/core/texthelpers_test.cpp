#include <gtest/gtest.h>

#include "test_support.h"
#include "texthelpers.h"

namespace zqw {
namespace {

struct PutCase {
    const char* name;
    std::string before;
    int columns;
    int grid;
    int field;
    std::string value;
    std::string after;
};

class PutFieldCases : public ::testing::TestWithParam<PutCase> {};

TEST_P(PutFieldCases, ReplacesOneFieldAndReadsItBack) {
    const PutCase& c = GetParam();
    const std::string result = putField(c.before, c.columns, c.grid, c.field, c.value);
    EXPECT_EQ(result, c.after);
    EXPECT_EQ(getField(result, c.columns, c.grid, c.field), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PutFieldCases,
    ::testing::Values(PutCase{"empty_row", "", 3, 1, 2, "x", "\tx\t"},
                      PutCase{"second_field", "\tx\t", 3, 1, 3, "y", "\tx\ty\t"},
                      PutCase{"creates_missing", "", 3, 1, 3, "y", "\t\ty\t"},
                      PutCase{"replaces", "\tx\ty\t", 3, 1, 2, "z", "\tz\ty\t"},
                      PutCase{"text_without_tab", "old", 3, 1, 2, "x", "\tx\told"},
                      PutCase{"grid2_whole_text", "a\tb\t", 3, 2, 2, "new", "new"},
                      PutCase{"single_column_whole_text", "a\tb", 1, 1, 5, "new", "new"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetField, MissingAndUnterminatedFieldsReadEmpty) {
    EXPECT_EQ(getField("\tx\ty\t", 3, 1, 1), "");
    EXPECT_EQ(getField("\tx\ty", 3, 1, 3), "");   // last field without its TAB
    EXPECT_EQ(getField("\tx\t", 3, 1, 3), "");
    EXPECT_EQ(getField("a\tb", 1, 1, 2), "a\tb");  // one column: the whole text
}

TEST(SuitSymbols, TranslateBothWaysInOrder) {
    const SuitChars chars;
    std::string text = "1} 2{ 3] 4[ x";
    symbolsToCodes(text, chars);
    EXPECT_EQ(text, "1\x05 2\x04 3\x03 4\x06 x");
    codesToSymbols(text, chars);
    EXPECT_EQ(text, "1} 2{ 3] 4[ x");

    std::string plain = "no codes here";
    codesToSymbols(plain, chars);
    EXPECT_EQ(plain, "no codes here");

    // A display character equal to a later code is translated again by the
    // later step; one equal to its own code is left alone, not looped on.
    SuitChars odd;
    odd.club = 4;
    std::string clubs = "\x05";
    codesToSymbols(clubs, odd);
    EXPECT_EQ(clubs, "{");
    SuitChars same;
    same.club = 5;
    std::string stay = "\x05";
    codesToSymbols(stay, same);
    symbolsToCodes(stay, same);
    EXPECT_EQ(stay, "\x05");
}

TEST(CardFields, WorkOnTheCurrentRowOfTheCurrentSection) {
    test::CardFixture f(test::crlf({"FG", "PS", "C3203040", "OA", "PT", "C195", "OB"}));
    Card& card = f.card;
    card.ResetBlankCard();
    int line = card.Sections[0].FirstLine;
    card.CurSection = 0;
    card.FindRow(1, line);
    card.PutField(1, 2, "x");
    EXPECT_EQ(card.RowTexts[card.CurRow].Text, "\tx\t");
    EXPECT_EQ(card.GetField(1, 2), "x");
    line = card.Sections[1].FirstLine;
    card.CurSection = 1;
    card.FindRow(1, line);
    card.PutField(1, 2, "whole");
    EXPECT_EQ(card.GetField(1, 1), "whole");
}

}  // namespace
}  // namespace zqw
