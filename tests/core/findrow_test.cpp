#include <gtest/gtest.h>

#include <random>

#include "card/cardanswers.h"
#include "card/lineops.h"
#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;

// Three single-column lines A, B, C; rows are rearranged per case.
class FindRowTest : public ::testing::Test {
protected:
    FindRowTest() : f(crlf({"FG", "PS", "C195", "OA", "OB", "OC"})) {
        f.card.resetToBlankCard();
        f.card.rows[1].text = "a1";
        f.card.rows[2].text = "b1";
        f.card.rows[3].text = "c1";
    }

    // Appends a row to the end of Card::rows and links it after row `after`.
    int insertAfter(int after, int lineIndex, const std::string& text) {
        Card& card = f.card;
        const int index = static_cast<int>(card.rows.size());
        RowText row;
        row.text = text;
        row.prevRow = after;
        row.nextRow = card.rows[after].nextRow;
        card.rows.push_back(row);
        if (row.nextRow != 0) card.rows[row.nextRow].prevRow = index;
        card.rows[after].nextRow = index;
        card.lines[lineIndex].rowCount += 1;
        return index;
    }

    std::string found(int rowNumber, int* lineOut = nullptr) {
        const RowRef ref = f.card.findRow(0, f.card.sections[0].firstLine, rowNumber);
        if (lineOut) *lineOut = ref.line;
        EXPECT_EQ(ref.section, 0);
        return f.card.rows[ref.row].text;
    }

    CardFixture f;
};

TEST_F(FindRowTest, RowZeroIsTheFirstLinesFirstRowEvenWhenHidden) {
    f.card.lines[1].rowCount = 0;
    EXPECT_EQ(found(0), "a1");
}

TEST_F(FindRowTest, HiddenLinesArePassedOver) {
    f.card.lines[1].rowCount = 0;
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
    f.card.lines[2].rowCount = 3;  // claims rows its chain does not have
    EXPECT_FALSE(f.card.findRow(0, 1, 3));
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Internal error in findtext search"});

    f.messages.messages.clear();
    EXPECT_FALSE(f.card.findRow(0, 1, 99));  // past the last line
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Internal error in findtext search"});
}

// The row index against a plain walk of the chains, through a long run of
// the line commands, undos and redos: every grid row must be found where the
// chains put it.
TEST_F(FindRowTest, TheIndexAgreesWithTheChainsThroughEdits) {
    const auto walked = [this](int rowNumber) {
        int line = 1;
        int before = 0;
        while (before + f.card.lines[line].rowCount < rowNumber)
            before += f.card.lines[line++].rowCount;
        int row = f.card.lines[line].firstRow;
        for (int k = before + 1; k < rowNumber; ++k) row = f.card.rows[row].nextRow;
        return row;
    };
    std::mt19937 random(20261210);
    std::vector<CardAnswers> history;
    for (int step = 0; step < 2000; ++step) {
        const int shown = f.card.sections[0].rowCount;
        const int rowNumber = 1 + static_cast<int>(random() % static_cast<unsigned>(shown));
        switch (random() % 5) {
            case 0:
                insertRowBefore(f.card, 0, 1, rowNumber);
                break;
            case 1:
                insertRowAfter(f.card, 0, 1, rowNumber, {1000},
                               [](const std::string&) { return 0; });
                break;
            case 2:
                deleteRow(f.card, 0, 1, rowNumber);
                break;
            case 3:
                history.push_back(captureAnswers(f.card));
                break;
            default:
                if (!history.empty()) {
                    restoreAnswers(f.card, history.back());
                    history.pop_back();
                }
        }
        f.card.rows[static_cast<size_t>(walked(1))].text = "first " + std::to_string(step);
        for (int n = 1; n <= f.card.sections[0].rowCount; ++n)
            ASSERT_EQ(f.card.findGridRow(0, 1, n).row, walked(n))
                << "step " << step << " row " << n;
    }
    // Refused commands say so; a lookup never failed.
    for (const std::string& message : f.messages.messages)
        EXPECT_NE(message, "Internal error in findtext search");
}

}  // namespace
}  // namespace zqw
