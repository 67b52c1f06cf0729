#include <gtest/gtest.h>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;

// Three single-column lines A, B, C; rows are rearranged per case.
class FindRowTest : public ::testing::Test {
protected:
    FindRowTest() : f(crlf({"FG", "PS", "C195", "OA", "OB", "OC"})) {
        f.card.ResetBlankCard();
        f.card.RowTexts[1].Text = "a1";
        f.card.RowTexts[2].Text = "b1";
        f.card.RowTexts[3].Text = "c1";
    }

    // Appends a row to the end of RowTexts and links it after row `after`.
    int insertAfter(int after, int lineIndex, const std::string& text) {
        Card& card = f.card;
        const int index = static_cast<int>(card.RowTexts.size());
        AText row;
        row.Text = text;
        row.PrevRow = after;
        row.NextRow = card.RowTexts[after].NextRow;
        card.RowTexts.push_back(row);
        if (row.NextRow != 0) card.RowTexts[row.NextRow].PrevRow = index;
        card.RowTexts[after].NextRow = index;
        card.Lines[lineIndex].RowCount += 1;
        return index;
    }

    std::string found(int rowNumber, int* lineOut = nullptr) {
        int line = f.card.Sections[0].FirstLine;
        const int row = f.card.FindRow(rowNumber, line);
        if (lineOut) *lineOut = line;
        EXPECT_EQ(f.card.CurRow, row);
        EXPECT_EQ(f.card.CurLine, line);
        return f.card.RowTexts[row].Text;
    }

    CardFixture f;
};

TEST_F(FindRowTest, RowZeroIsTheFirstLinesFirstRowEvenWhenHidden) {
    f.card.Lines[1].RowCount = 0;
    EXPECT_EQ(found(0), "a1");
}

TEST_F(FindRowTest, HiddenLinesArePassedOver) {
    f.card.Lines[1].RowCount = 0;
    int line = 0;
    EXPECT_EQ(found(1, &line), "b1");
    EXPECT_EQ(line, 2);
    EXPECT_EQ(found(2), "c1");
}

TEST_F(FindRowTest, FollowsTheChainNotTheListOrder) {
    // B gets rows b1, b2, b3 where b2 was inserted last.
    const int b3 = insertAfter(2, 2, "b3");
    insertAfter(2, 2, "b2");
    ASSERT_GT(b3, 3);
    const std::vector<std::string> expected = {"a1", "b1", "b2", "b3", "c1"};
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(found(n), expected[n - 1]) << n;
    EXPECT_TRUE(f.messages.messages.empty());
}

TEST_F(FindRowTest, BrokenChainReportsAndGivesThePlaceholder) {
    f.card.Lines[2].RowCount = 3;  // claims rows its chain does not have
    int line = 1;
    EXPECT_EQ(f.card.FindRow(3, line), 0);
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Internal error in findtext search"});

    f.messages.messages.clear();
    line = 1;
    EXPECT_EQ(f.card.FindRow(99, line), 0);  // past the last line
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Internal error in findtext search"});
}

}  // namespace
}  // namespace zqw
