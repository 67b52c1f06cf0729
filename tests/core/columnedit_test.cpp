#include "columnedit.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;
using Rows = std::vector<std::vector<std::string>>;

// Section 0: one column, lines A B C (Lines 1-3).
// Section 1: three columns, lines X Y (Lines 4-5) and grid 2 lines P Q
// (Lines 6-7).
constexpr int kLineA = 1;
constexpr int kLineX = 4;
constexpr int kLineP = 6;

std::string templateBytes() {
    return crlf({"FG", "PS", "C195", "OA", "OB", "OC", "PT", "C3204040", "OX", "OY", "A3070", "OP", "OQ"});
}

class ColumnEditFixture {
public:
    ColumnEditFixture() : f(templateBytes()) { f.card.ResetBlankCard(); }

    // Gives consecutive lines the rows listed (an empty list hides the
    // line, which keeps its first record with the text "old") and counts
    // them into the section's grid.
    void setLines(int section, int grid, int firstLine, const Rows& rows) {
        Card& card = f.card;
        int total = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            Aline& line = card.Lines.at(firstLine + static_cast<int>(i));
            card.RowTexts.at(line.FirstRow).Text = rows[i].empty() ? "old" : rows[i][0];
            line.RowCount = rows[i].empty() ? 0 : 1;
            int last = line.FirstRow;
            for (size_t k = 1; k < rows[i].size(); ++k) {
                AText row;
                row.Text = rows[i][k];
                row.PrevRow = last;
                const int index = static_cast<int>(card.RowTexts.size());
                card.RowTexts.push_back(row);
                card.RowTexts[last].NextRow = index;
                last = index;
                line.RowCount += 1;
            }
            total += line.RowCount;
        }
        (grid == 1 ? card.Sections[section].RowCount : card.Sections[section].RowCount2) = total;
    }

    Rows linesFrom(int firstLine, int count) const {
        Rows rows;
        for (int i = 0; i < count; ++i) rows.push_back(test::rowTexts(f.card, firstLine + i));
        return rows;
    }

    // Every shown line's chain starts at its FirstRow with no predecessor
    // and links back correctly, so later line commands can walk it.
    void expectSoundChains(int firstLine, int count) const {
        for (int i = firstLine; i < firstLine + count; ++i) {
            const Aline& line = f.card.Lines[i];
            if (line.RowCount == 0) continue;
            EXPECT_EQ(f.card.RowTexts.at(line.FirstRow).PrevRow, 0) << "line " << i;
            int row = line.FirstRow;
            for (int k = 1; k < line.RowCount; ++k) {
                const int next = f.card.RowTexts.at(row).NextRow;
                ASSERT_NE(next, 0) << "line " << i;
                EXPECT_EQ(f.card.RowTexts.at(next).PrevRow, row) << "line " << i;
                row = next;
            }
        }
    }

    CardFixture f;
};

// --- the range -----------------------------------------------------------------

struct RangeCase {
    const char* name;
    int section;
    int grid;
    int row;
    int column;
    bool found;
    int editedColumn;
    bool whole;
    int firstLine;
    int activeLine;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class ColumnEditRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ColumnEditRangeTest, FollowsTheActiveCell) {
    const RangeCase& c = GetParam();
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{"a1"}, {"b1", "b2"}, {"c1"}});
    fx.setLines(1, 1, kLineX, {{"\tx1\t"}, {"\ty1\t", "\ty2\t", "\ty3\t"}});
    fx.setLines(1, 2, kLineP, {{"p1"}, {"q1"}});
    const auto range = ColumnEditRangeAt(fx.f.card, c.section, c.grid, c.row, c.column);
    ASSERT_EQ(range.has_value(), c.found);
    if (!c.found) return;
    EXPECT_EQ(range->Column, c.editedColumn);
    EXPECT_EQ(range->WholeSection, c.whole);
    EXPECT_EQ(range->FirstLine, c.firstLine);
    EXPECT_EQ(range->ActiveLine, c.activeLine);
    EXPECT_EQ(range->Grid, c.grid);
    EXPECT_TRUE(fx.f.messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ColumnEditRangeTest,
    ::testing::Values(
        RangeCase{"SingleColumnIsTheWholeSection", 0, 1, 3, 0, true, 0, true, kLineA, kLineA + 1},
        RangeCase{"LabelColumnStandsForColumnOne", 1, 1, 3, 0, true, 1, false, kLineX + 1, kLineX + 1},
        RangeCase{"LastColumnOfAMultiColumnLine", 1, 1, 1, 2, true, 2, false, kLineX, kLineX},
        RangeCase{"Grid2LabelColumnStandsForItsText", 1, 2, 2, 0, true, 1, false, kLineP + 1, kLineP + 1},
        RangeCase{"RowBeyondTheGrid", 1, 1, 5, 1, false, 0, false, 0, 0},
        RangeCase{"HeadingRowIsNoRow", 1, 1, 0, 1, false, 0, false, 0, 0},
        RangeCase{"ColumnBeyondTheGrid", 0, 1, 1, 1, false, 0, false, 0, 0},
        RangeCase{"SectionWithoutGrid2", 0, 2, 1, 1, false, 0, false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- write-back ----------------------------------------------------------------

struct WriteCase {
    const char* name;
    int section;
    int grid;
    int row;     // active cell
    int column;
    Rows before;  // the rows of the section's lines of that grid
    std::vector<std::string> lines;
    Rows after;
    int gridRows;  // the section's row count for the grid afterwards
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class WriteColumnTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteColumnTest, StoresAppendsAndRemoves) {
    const WriteCase& c = GetParam();
    ColumnEditFixture fx;
    const AForm& form = fx.f.card.Sections[c.section];
    const int firstLine = c.grid == 1 ? form.FirstLine : form.FirstLine2;
    fx.setLines(c.section, c.grid, firstLine, c.before);
    const auto range = ColumnEditRangeAt(fx.f.card, c.section, c.grid, c.row, c.column);
    ASSERT_TRUE(range.has_value());

    WriteColumn(fx.f.card, *range, c.lines);

    EXPECT_EQ(fx.linesFrom(firstLine, static_cast<int>(c.after.size())), c.after);
    EXPECT_EQ(c.grid == 1 ? form.RowCount : form.RowCount2, c.gridRows);
    fx.expectSoundChains(firstLine, static_cast<int>(c.after.size()));
    EXPECT_TRUE(fx.f.messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WriteColumnTest,
    ::testing::Values(
        WriteCase{"EqualLinesChangeOnlyTheEditedColumn", 1, 1, 2, 1,
                  {{"\ta1\tk1\t"}, {"\tb1\tk2\t"}},
                  {"new"},
                  {{"\ta1\tk1\t"}, {"\tnew\tk2\t"}}, 2},
        WriteCase{"OneMoreLineAppendsARowEmptyElsewhere", 1, 1, 1, 2,
                  {{"\ta1\tk1\t"}, {"\tb1\t"}},
                  {"z1", "z2"},
                  {{"\ta1\tz1\t", "\t\tz2\t"}, {"\tb1\t"}}, 3},
        WriteCase{"TwoFewerLinesRemoveTheLastRowsWhole", 1, 1, 1, 1,
                  {{"\ta1\tk1\t", "\ta2\tk2\t", "\ta3\tk3\t"}, {"\tb1\t"}},
                  {"A1"},
                  {{"\tA1\tk1\t"}, {"\tb1\t"}}, 2},
        WriteCase{"EmptyMemoHidesALineOfAGridWithOtherRows", 1, 1, 1, 1,
                  {{"\ta1\t", "\ta2\t"}, {"\tb1\t"}},
                  {},
                  {{}, {"\tb1\t"}}, 1},
        WriteCase{"EmptyMemoOnTheGridsOnlyShownLineKeepsOneEmptyRow", 1, 1, 1, 1,
                  {{"\ta1\tk1\t", "\ta2\t"}, {}},
                  {},
                  {{""}, {}}, 1},
        WriteCase{"WholeSectionEqual", 0, 1, 2, 0,
                  {{"a"}, {"b"}, {"c"}},
                  {"x", "y", "z"},
                  {{"x"}, {"y"}, {"z"}}, 3},
        WriteCase{"WholeSectionMoreGoesToTheLastLine", 0, 1, 1, 0,
                  {{"a"}, {"b"}, {"c"}},
                  {"x", "y", "z", "w"},
                  {{"x"}, {"y"}, {"z", "w"}}, 4},
        WriteCase{"WholeSectionFewerHidesTheLaterLines", 0, 1, 1, 0,
                  {{"a"}, {"b1", "b2"}, {"c"}},
                  {"x", "y"},
                  {{"x"}, {"y"}, {}}, 2},
        WriteCase{"WholeSectionEmptyKeepsTheFirstRowEmpty", 0, 1, 3, 0,
                  {{"a"}, {"b"}, {"c1", "c2"}},
                  {},
                  {{""}, {}, {}}, 1},
        WriteCase{"EmptiedLinesAfterASingleRowReceiveNewRows", 0, 1, 1, 0,
                  {{"a"}, {}, {}},
                  {"x", "y", "z"},
                  {{"x"}, {"y"}, {"z"}}, 3},
        WriteCase{"EmptiedLineAfterTwoRowsStaysHidden", 0, 1, 1, 0,
                  {{"a1", "a2"}, {}, {"c"}},
                  {"x", "y", "z", "w"},
                  {{"x", "y"}, {}, {"z", "w"}}, 4},
        WriteCase{"Grid2RowsAreWholeTexts", 1, 2, 2, 1,
                  {{"p1"}, {"q1"}},
                  {"Q1", "Q2", "Q3"},
                  {{"p1"}, {"Q1", "Q2", "Q3"}}, 4},
        WriteCase{"SymbolsBecomeCodesAndTabsSpaces", 0, 1, 1, 0,
                  {{"a"}, {}, {}},
                  {"1} 2{ 3] 4[", "a\tb"},
                  {{"1\x05 2\x04 3\x03 4\x06"}, {"a b"}, {}}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// --- reading -------------------------------------------------------------------

TEST(ColumnEditReadTest, ShowsTheEditedFieldOfEveryRowWithSymbols) {
    ColumnEditFixture fx;
    fx.setLines(1, 1, kLineX, {{"\ta1\t\x05k\t", "\ta2\tk2\t"}, {"\tb1\t\x03\x06\t"}});
    const auto lineX = ColumnEditRangeAt(fx.f.card, 1, 1, 2, 2);
    ASSERT_TRUE(lineX);
    EXPECT_EQ(ReadColumn(fx.f.card, *lineX), (std::vector<std::string>{"}k", "k2"}));
    const auto lineY = ColumnEditRangeAt(fx.f.card, 1, 1, 3, 0);
    ASSERT_TRUE(lineY);
    EXPECT_EQ(ReadColumn(fx.f.card, *lineY), (std::vector<std::string>{"b1"}));

    fx.setLines(0, 1, kLineA, {{"a1", "a2"}, {}, {"c\x04"}});
    const auto section = ColumnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(section);
    EXPECT_EQ(ReadColumn(fx.f.card, *section), (std::vector<std::string>{"a1", "a2", "c{"}));
}

TEST(ColumnEditReadTest, UsesTheCardsOwnSymbolCharacters) {
    ColumnEditFixture fx;
    fx.f.card.ClubChar = '&';
    fx.setLines(0, 1, kLineA, {{"1\x05"}, {"b"}, {"c"}});
    const auto range = ColumnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    EXPECT_EQ(ReadColumn(fx.f.card, *range).front(), "1&");
    WriteColumn(fx.f.card, *range, {"2&", "}"});
    EXPECT_EQ(fx.linesFrom(kLineA, 2), (Rows{{"2\x05"}, {"}"}}));
}

// --- rows added and removed ------------------------------------------------------

TEST(ColumnEditRowsTest, AppendedRowHasNoNoteAndBecomesCurrent) {
    ColumnEditFixture fx;
    fx.setLines(1, 1, kLineX, {{"\ta1\t"}, {"\tb1\t"}});
    fx.f.card.RowTexts[fx.f.card.Lines[kLineX].FirstRow].NoteNo = 14;
    const auto range = ColumnEditRangeAt(fx.f.card, 1, 1, 1, 1);
    ASSERT_TRUE(range);
    const int added = AppendRangeRow(fx.f.card, *range);
    ASSERT_GT(added, 0);
    EXPECT_EQ(fx.f.card.CurRow, added);
    EXPECT_EQ(fx.f.card.CurLine, kLineX);
    EXPECT_EQ(fx.f.card.RowTexts[added].NoteNo, 0);
    EXPECT_EQ(fx.f.card.RowTexts[added].Text, "");
    EXPECT_EQ(fx.f.card.Lines[kLineX].RowCount, 2);
    EXPECT_EQ(fx.f.card.Sections[1].RowCount, 3);
}

TEST(ColumnEditRowsTest, RemovingAMiddleRowRelinksItsNeighbours) {
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{"a1", "a2", "a3"}, {"b"}, {"c"}});
    const auto range = ColumnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    RemoveRangeRow(fx.f.card, *range, 2);
    EXPECT_EQ(fx.linesFrom(kLineA, 1), (Rows{{"a1", "a3"}}));
    RemoveRangeRow(fx.f.card, *range, 1);
    EXPECT_EQ(fx.linesFrom(kLineA, 1), (Rows{{"a3"}}));
    fx.expectSoundChains(kLineA, 3);
    // The only row of a line stays its first row; the line counts none.
    const int only = fx.f.card.Lines[kLineA].FirstRow;
    RemoveRangeRow(fx.f.card, *range, 1);
    EXPECT_EQ(fx.f.card.Lines[kLineA].RowCount, 0);
    EXPECT_EQ(fx.f.card.Lines[kLineA].FirstRow, only);
    EXPECT_EQ(fx.f.card.RowTexts[only].Text, "a3");
    EXPECT_EQ(fx.f.card.Sections[0].RowCount, 2);
}

TEST(ColumnEditRowsTest, NewRowOfAnEmptiedLineStartsItsOwnChain) {
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{"a"}, {}, {}});
    const auto range = ColumnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    const int lastOfA = fx.f.card.Lines[kLineA].FirstRow;
    WriteColumn(fx.f.card, *range, {"a", "b1"});
    WriteColumn(fx.f.card, *range, {"a", "b1", "b2", "b3"});
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {"b1"}, {"b2", "b3"}}));
    EXPECT_EQ(fx.f.card.RowTexts[lastOfA].NextRow, 0);
    fx.expectSoundChains(kLineA, 3);
    // Taking C's first row away makes its second the first.
    RemoveRangeRow(fx.f.card, *range, 3);
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {"b1"}, {"b3"}}));
    fx.expectSoundChains(kLineA, 3);
    WriteColumn(fx.f.card, *range, {"a"});
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {}, {}}));
    EXPECT_EQ(fx.f.card.Sections[0].RowCount, 1);
}

TEST(ColumnEditRowsTest, FirstRowLinkedBehindAnotherLineIsStillTheLinesFirst) {
    // A row given to a hidden line by linking it behind the line before
    // (as inserting after a line's last row may do) has a predecessor,
    // yet it is its own line's first row.
    ColumnEditFixture fx;
    Card& card = fx.f.card;
    fx.setLines(0, 1, kLineA, {{"a"}, {"b1", "b2"}, {"c"}});
    const int a = card.Lines[kLineA].FirstRow;
    const int b1 = card.Lines[kLineA + 1].FirstRow;
    card.RowTexts[a].NextRow = b1;
    card.RowTexts[b1].PrevRow = a;
    const auto range = ColumnEditRangeAt(card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    RemoveRangeRow(card, *range, 2);
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {"b2"}, {"c"}}));
    EXPECT_EQ(card.RowTexts[card.Lines[kLineA + 1].FirstRow].PrevRow, 0);
    EXPECT_EQ(card.Sections[0].RowCount, 3);
}

TEST(ColumnEditRowsTest, NewRowsStayInsideTheSection) {
    // The line after the section's last one belongs to the next section;
    // even when it shows no rows it never receives one.
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{}, {}, {"c"}});
    fx.setLines(1, 1, kLineX, {{}, {"\ty\t"}});
    const auto range = ColumnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    WriteColumn(fx.f.card, *range, {"c", "d"});
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{}, {}, {"c", "d"}}));
    EXPECT_EQ(fx.f.card.Lines[kLineX].RowCount, 0);
    EXPECT_EQ(fx.f.card.Sections[1].RowCount, 1);
    EXPECT_EQ(fx.f.card.Sections[0].RowCount, 2);
}

TEST(ColumnEditRowsTest, WrittenCardReadsBackTheSameRows) {
    test::TempDir dir;
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{"a"}, {}, {}});
    fx.setLines(1, 1, kLineX, {{"\ta1\tk\t", "\ta2\t"}, {"\tb\t"}});
    auto range = ColumnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    WriteColumn(fx.f.card, *range, {"x", "y", "z", "w"});
    range = ColumnEditRangeAt(fx.f.card, 1, 1, 1, 2);
    ASSERT_TRUE(range);
    WriteColumn(fx.f.card, *range, {"K1"});
    fx.f.card.CardFileName = dir.path("edited.ccf");
    ASSERT_TRUE(fx.f.card.WriteCardFile());

    CardFixture again(templateBytes());
    again.card.CardFileName = dir.path("edited.ccf");
    again.card.ReadCardFile();
    ASSERT_TRUE(again.messages.messages.empty());
    const Rows expected = {{"x"}, {"y"}, {"z", "w"}, {"\ta1\tK1\t"}, {"\tb\t"}};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(test::rowTexts(again.card, kLineA + i), expected[i]) << i;
    EXPECT_EQ(again.card.Sections[0].RowCount, 4);
    EXPECT_EQ(again.card.Sections[1].RowCount, 2);
}

}  // namespace
}  // namespace zqw
