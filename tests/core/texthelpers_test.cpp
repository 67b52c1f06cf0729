#include "card/texthelpers.h"

#include <gtest/gtest.h>

#include "test_support.h"

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
    const std::string result = withField(c.before, c.columns, c.grid, c.field, c.value);
    EXPECT_EQ(result, c.after);
    EXPECT_EQ(fieldOf(result, c.columns, c.grid, c.field), c.value);
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

TEST(field, MissingAndUnterminatedFieldsReadEmpty) {
    EXPECT_EQ(fieldOf("\tx\ty\t", 3, 1, 1), "");
    EXPECT_EQ(fieldOf("\tx\ty", 3, 1, 3), "");  // last field without its TAB
    EXPECT_EQ(fieldOf("\tx\t", 3, 1, 3), "");
    EXPECT_EQ(fieldOf("a\tb", 1, 1, 2), "a\tb");  // one column: the whole text
}

struct CleanCase {
    const char* name;
    std::string before;
    std::string after;
};

class CleanCellTexts : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanCellTexts, LeaveOnlyPrintableTextAndSuitCodes) {
    std::string text = GetParam().before;
    cleanCellText(text);
    EXPECT_EQ(text, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CleanCellTexts,
    ::testing::Values(
        CleanCase{"plain_text_unchanged", "1NT 15-17", "1NT 15-17"},
        CleanCase{"suit_codes_kept", "1\x05 2\x04 3\x03 4\x06", "1\x05 2\x04 3\x03 4\x06"},
        CleanCase{"tab_and_line_breaks", "a\tb\r\nc\nd\re", "a b  c d e"},
        CleanCase{"ctrl_z_cannot_cut_the_card",
                  "before\x1A"
                  "after",
                  "before after"},
        CleanCase{"every_other_control", test::bin("\0\x01\x02\x07\x08\x0B\x0C\x1B\x1F\x7F"),
                  std::string(10, ' ')},
        // Windows-1252 letters and symbols above 127 are text.
        CleanCase{"high_bytes_kept", "\x80\x8E\xA0\xE9\xFF", "\x80\x8E\xA0\xE9\xFF"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SuitSymbols, TranslateBothWaysInOrder) {
    const SuitChars chars;
    std::string text = "1} 2{ 3] 4[ x";
    displayToCodes(text, chars);
    EXPECT_EQ(text, "1\x05 2\x04 3\x03 4\x06 x");
    codesToDisplay(text, chars);
    EXPECT_EQ(text, "1} 2{ 3] 4[ x");

    std::string plain = "no codes here";
    codesToDisplay(plain, chars);
    EXPECT_EQ(plain, "no codes here");

    // A display character equal to a later code is translated again by the
    // later step; one equal to its own code is left alone, not looped on.
    SuitChars odd;
    odd.club = 4;
    std::string clubs = "\x05";
    codesToDisplay(clubs, odd);
    EXPECT_EQ(clubs, "{");
    SuitChars same;
    same.club = 5;
    std::string stay = "\x05";
    codesToDisplay(stay, same);
    displayToCodes(stay, same);
    EXPECT_EQ(stay, "\x05");
}

TEST(CardFields, FollowTheColumnsOfTheRowsSection) {
    test::CardFixture f(test::crlf({"FG", "PS", "C3203040", "OA", "PT", "C195", "OB"}));
    Card& card = f.card;
    card.resetToBlankCard();
    const RowRef three = card.findGridRow(0, 1, 1);
    card.setField(three, 1, 2, "x");
    EXPECT_EQ(card.rows[three.row].text, "\tx\t");
    EXPECT_EQ(card.field(three, 1, 2), "x");
    const RowRef one = card.findGridRow(1, 1, 1);
    card.setField(one, 1, 2, "whole");
    EXPECT_EQ(card.field(one, 1, 1), "whole");
}

TEST(CardFields, ANoRowReferenceReadsEmptyAndChangesNothing) {
    test::CardFixture f(test::crlf({"FG", "PS", "C195", "OB"}));
    Card& card = f.card;
    card.resetToBlankCard();
    const std::string before = card.cardFileBytes();
    card.setField(RowRef{}, 1, 1, "lost");
    EXPECT_EQ(card.field(RowRef{}, 1, 1), "");
    EXPECT_EQ(card.rows[0].text, "");
    EXPECT_EQ(card.cardFileBytes(), before);
}

}  // namespace
}  // namespace zqw
