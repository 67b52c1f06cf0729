// Row removal through the column edit stays inside its range even when asked
// for a row past it: counting on would reach the rows of the lines after the
// range, and of later sections.

#include <gtest/gtest.h>

#include "card/columnedit.h"
#include "test_support.h"

namespace zqw {
namespace {

TEST(ColumnEditRange, RemovalPastTheRangeLeavesLaterSectionsAlone) {
    // Section 0: three columns, lines X and Y; section 1: one column, line Z.
    test::CardFixture f(test::crlf({"FG", "PS", "C3204040", "OX", "OY", "PT", "C195", "OZ"}));
    Card& card = f.card;
    card.resetToBlankCard();
    for (int line = 1; line <= 3; ++line)
        card.rows[card.lines[line].firstRow].text = "line " + std::to_string(line);
    const auto range = columnEditRangeAt(card, 0, 1, 1, 1);  // line X alone
    ASSERT_TRUE(range);
    ASSERT_EQ(rangeRowCount(card, *range), 1);
    const std::string before = card.cardFileBytes();

    for (int rowNumber : {2, 3, 4, 100, 0, -1}) removeRangeRow(card, *range, rowNumber);

    EXPECT_EQ(card.cardFileBytes(), before);
    EXPECT_EQ(test::rowTexts(card, 2), std::vector<std::string>{"line 2"});
    EXPECT_EQ(test::rowTexts(card, 3), std::vector<std::string>{"line 3"});
    EXPECT_EQ(card.sections[1].rowCount, 1);

    // Inside the range it works.
    removeRangeRow(card, *range, 1);
    EXPECT_EQ(card.lines[1].rowCount, 0);
    EXPECT_EQ(card.sections[0].rowCount, 1);
    EXPECT_EQ(test::rowTexts(card, 3), std::vector<std::string>{"line 3"});
}

}  // namespace
}  // namespace zqw
