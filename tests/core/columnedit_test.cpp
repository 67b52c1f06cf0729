#include "card/columnedit.h"

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
    return crlf(
        {"FG", "PS", "C195", "OA", "OB", "OC", "PT", "C3204040", "OX", "OY", "A3070", "OP", "OQ"});
}

class ColumnEditFixture {
public:
    ColumnEditFixture() : f(templateBytes()) { f.card.resetToBlankCard(); }

    // Gives consecutive lines the rows listed (an empty list hides the
    // line, which keeps its first record with the text "old") and counts
    // them into the section's grid.
    void setLines(int section, int grid, int firstLine, const Rows& rows) {
        Card& card = f.card;
        int total = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            TemplateLine& line = card.lines.at(firstLine + static_cast<int>(i));
            card.rows.at(line.firstRow).text = rows[i].empty() ? "old" : rows[i][0];
            line.rowCount = rows[i].empty() ? 0 : 1;
            int last = line.firstRow;
            for (size_t k = 1; k < rows[i].size(); ++k) {
                RowText row;
                row.text = rows[i][k];
                row.prevRow = last;
                const int index = static_cast<int>(card.rows.size());
                card.rows.push_back(row);
                card.rows[last].nextRow = index;
                last = index;
                line.rowCount += 1;
            }
            total += line.rowCount;
        }
        (grid == 1 ? card.sections[section].rowCount : card.sections[section].rowCount2) = total;
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
            const TemplateLine& line = f.card.lines[i];
            if (line.rowCount == 0) continue;
            EXPECT_EQ(f.card.rows.at(line.firstRow).prevRow, 0) << "line " << i;
            int row = line.firstRow;
            for (int k = 1; k < line.rowCount; ++k) {
                const int next = f.card.rows.at(row).nextRow;
                ASSERT_NE(next, 0) << "line " << i;
                EXPECT_EQ(f.card.rows.at(next).prevRow, row) << "line " << i;
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
    const auto range = columnEditRangeAt(fx.f.card, c.section, c.grid, c.row, c.column);
    ASSERT_EQ(range.has_value(), c.found);
    if (!c.found) return;
    EXPECT_EQ(range->column, c.editedColumn);
    EXPECT_EQ(range->wholeSection, c.whole);
    EXPECT_EQ(range->firstLine, c.firstLine);
    EXPECT_EQ(range->activeLine, c.activeLine);
    EXPECT_EQ(range->grid, c.grid);
    EXPECT_TRUE(fx.f.messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ColumnEditRangeTest,
    ::testing::Values(
        RangeCase{"SingleColumnIsTheWholeSection", 0, 1, 3, 0, true, 0, true, kLineA, kLineA + 1},
        RangeCase{"LabelColumnStandsForColumnOne", 1, 1, 3, 0, true, 1, false, kLineX + 1,
                  kLineX + 1},
        RangeCase{"LastColumnOfAMultiColumnLine", 1, 1, 1, 2, true, 2, false, kLineX, kLineX},
        RangeCase{"Grid2LabelColumnStandsForItsText", 1, 2, 2, 0, true, 1, false, kLineP + 1,
                  kLineP + 1},
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
    int row;  // active cell
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
    const Section& form = fx.f.card.sections[c.section];
    const int firstLine = c.grid == 1 ? form.firstLine : form.firstLine2;
    fx.setLines(c.section, c.grid, firstLine, c.before);
    const auto range = columnEditRangeAt(fx.f.card, c.section, c.grid, c.row, c.column);
    ASSERT_TRUE(range.has_value());

    writeColumn(fx.f.card, *range, c.lines, SuitChars{});

    EXPECT_EQ(fx.linesFrom(firstLine, static_cast<int>(c.after.size())), c.after);
    EXPECT_EQ(c.grid == 1 ? form.rowCount : form.rowCount2, c.gridRows);
    fx.expectSoundChains(firstLine, static_cast<int>(c.after.size()));
    EXPECT_TRUE(fx.f.messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WriteColumnTest,
    ::testing::Values(WriteCase{"EqualLinesChangeOnlyTheEditedColumn",
                                1,
                                1,
                                2,
                                1,
                                {{"\ta1\tk1\t"}, {"\tb1\tk2\t"}},
                                {"new"},
                                {{"\ta1\tk1\t"}, {"\tnew\tk2\t"}},
                                2},
                      WriteCase{"OneMoreLineAppendsARowEmptyElsewhere",
                                1,
                                1,
                                1,
                                2,
                                {{"\ta1\tk1\t"}, {"\tb1\t"}},
                                {"z1", "z2"},
                                {{"\ta1\tz1\t", "\t\tz2\t"}, {"\tb1\t"}},
                                3},
                      WriteCase{"TwoFewerLinesRemoveTheLastRowsWhole",
                                1,
                                1,
                                1,
                                1,
                                {{"\ta1\tk1\t", "\ta2\tk2\t", "\ta3\tk3\t"}, {"\tb1\t"}},
                                {"A1"},
                                {{"\tA1\tk1\t"}, {"\tb1\t"}},
                                2},
                      WriteCase{"EmptyMemoHidesALineOfAGridWithOtherRows",
                                1,
                                1,
                                1,
                                1,
                                {{"\ta1\t", "\ta2\t"}, {"\tb1\t"}},
                                {},
                                {{}, {"\tb1\t"}},
                                1},
                      WriteCase{"EmptyMemoOnTheGridsOnlyShownLineKeepsOneEmptyRow",
                                1,
                                1,
                                1,
                                1,
                                {{"\ta1\tk1\t", "\ta2\t"}, {}},
                                {},
                                {{""}, {}},
                                1},
                      WriteCase{"WholeSectionEqual",
                                0,
                                1,
                                2,
                                0,
                                {{"a"}, {"b"}, {"c"}},
                                {"x", "y", "z"},
                                {{"x"}, {"y"}, {"z"}},
                                3},
                      WriteCase{"WholeSectionMoreGoesToTheLastLine",
                                0,
                                1,
                                1,
                                0,
                                {{"a"}, {"b"}, {"c"}},
                                {"x", "y", "z", "w"},
                                {{"x"}, {"y"}, {"z", "w"}},
                                4},
                      WriteCase{"WholeSectionFewerHidesTheLaterLines",
                                0,
                                1,
                                1,
                                0,
                                {{"a"}, {"b1", "b2"}, {"c"}},
                                {"x", "y"},
                                {{"x"}, {"y"}, {}},
                                2},
                      WriteCase{"WholeSectionEmptyKeepsTheFirstRowEmpty",
                                0,
                                1,
                                3,
                                0,
                                {{"a"}, {"b"}, {"c1", "c2"}},
                                {},
                                {{""}, {}, {}},
                                1},
                      WriteCase{"EmptiedLinesAfterASingleRowReceiveNewRows",
                                0,
                                1,
                                1,
                                0,
                                {{"a"}, {}, {}},
                                {"x", "y", "z"},
                                {{"x"}, {"y"}, {"z"}},
                                3},
                      WriteCase{"EmptiedLineAfterTwoRowsStaysHidden",
                                0,
                                1,
                                1,
                                0,
                                {{"a1", "a2"}, {}, {"c"}},
                                {"x", "y", "z", "w"},
                                {{"x", "y"}, {}, {"z", "w"}},
                                4},
                      WriteCase{"Grid2RowsAreWholeTexts",
                                1,
                                2,
                                2,
                                1,
                                {{"p1"}, {"q1"}},
                                {"Q1", "Q2", "Q3"},
                                {{"p1"}, {"Q1", "Q2", "Q3"}},
                                4},
                      WriteCase{"SymbolsBecomeCodesAndTabsSpaces",
                                0,
                                1,
                                1,
                                0,
                                {{"a"}, {}, {}},
                                {"1} 2{ 3] 4[", "a\tb"},
                                {{"1\x05 2\x04 3\x03 4\x06"}, {"a b"}, {}},
                                2}),
    [](const auto& info) { return std::string(info.param.name); });

// --- reading -------------------------------------------------------------------

TEST(ColumnEditReadTest, ShowsTheEditedFieldOfEveryRowWithSymbols) {
    ColumnEditFixture fx;
    fx.setLines(1, 1, kLineX, {{"\ta1\t\x05k\t", "\ta2\tk2\t"}, {"\tb1\t\x03\x06\t"}});
    const auto lineX = columnEditRangeAt(fx.f.card, 1, 1, 2, 2);
    ASSERT_TRUE(lineX);
    EXPECT_EQ(readColumn(fx.f.card, *lineX, SuitChars{}), (std::vector<std::string>{"}k", "k2"}));
    const auto lineY = columnEditRangeAt(fx.f.card, 1, 1, 3, 0);
    ASSERT_TRUE(lineY);
    EXPECT_EQ(readColumn(fx.f.card, *lineY, SuitChars{}), (std::vector<std::string>{"b1"}));

    fx.setLines(0, 1, kLineA, {{"a1", "a2"}, {}, {"c\x04"}});
    const auto section = columnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(section);
    EXPECT_EQ(readColumn(fx.f.card, *section, SuitChars{}),
              (std::vector<std::string>{"a1", "a2", "c{"}));
}

TEST(ColumnEditReadTest, UsesTheGivenSymbolCharacters) {
    ColumnEditFixture fx;
    SuitChars chars;
    chars.club = '&';
    fx.setLines(0, 1, kLineA, {{"1\x05"}, {"b"}, {"c"}});
    const auto range = columnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    EXPECT_EQ(readColumn(fx.f.card, *range, chars).front(), "1&");
    writeColumn(fx.f.card, *range, {"2&", "}"}, chars);
    EXPECT_EQ(fx.linesFrom(kLineA, 2), (Rows{{"2\x05"}, {"}"}}));
}

// --- rows added and removed ------------------------------------------------------

TEST(ColumnEditRowsTest, AppendedRowHasNoNoteAndJoinsTheLine) {
    ColumnEditFixture fx;
    fx.setLines(1, 1, kLineX, {{"\ta1\t"}, {"\tb1\t"}});
    fx.f.card.rows[fx.f.card.lines[kLineX].firstRow].noteNo = 14;
    const auto range = columnEditRangeAt(fx.f.card, 1, 1, 1, 1);
    ASSERT_TRUE(range);
    const RowRef addedRef = appendRangeRow(fx.f.card, *range);
    ASSERT_TRUE(addedRef);
    const int added = addedRef.row;
    EXPECT_EQ(addedRef.line, kLineX);
    EXPECT_EQ(fx.f.card.rows[added].noteNo, 0);
    EXPECT_EQ(fx.f.card.rows[added].text, "");
    EXPECT_EQ(fx.f.card.lines[kLineX].rowCount, 2);
    EXPECT_EQ(fx.f.card.sections[1].rowCount, 3);
}

TEST(ColumnEditRowsTest, RemovingAMiddleRowRelinksItsNeighbours) {
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{"a1", "a2", "a3"}, {"b"}, {"c"}});
    const auto range = columnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    removeRangeRow(fx.f.card, *range, 2);
    EXPECT_EQ(fx.linesFrom(kLineA, 1), (Rows{{"a1", "a3"}}));
    removeRangeRow(fx.f.card, *range, 1);
    EXPECT_EQ(fx.linesFrom(kLineA, 1), (Rows{{"a3"}}));
    fx.expectSoundChains(kLineA, 3);
    // The only row of a line stays its first row; the line counts none.
    const int only = fx.f.card.lines[kLineA].firstRow;
    removeRangeRow(fx.f.card, *range, 1);
    EXPECT_EQ(fx.f.card.lines[kLineA].rowCount, 0);
    EXPECT_EQ(fx.f.card.lines[kLineA].firstRow, only);
    EXPECT_EQ(fx.f.card.rows[only].text, "a3");
    EXPECT_EQ(fx.f.card.sections[0].rowCount, 2);
}

TEST(ColumnEditRowsTest, NewRowOfAnEmptiedLineStartsItsOwnChain) {
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{"a"}, {}, {}});
    const auto range = columnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    const int lastOfA = fx.f.card.lines[kLineA].firstRow;
    writeColumn(fx.f.card, *range, {"a", "b1"}, SuitChars{});
    writeColumn(fx.f.card, *range, {"a", "b1", "b2", "b3"}, SuitChars{});
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {"b1"}, {"b2", "b3"}}));
    EXPECT_EQ(fx.f.card.rows[lastOfA].nextRow, 0);
    fx.expectSoundChains(kLineA, 3);
    // Taking C's first row away makes its second the first.
    removeRangeRow(fx.f.card, *range, 3);
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {"b1"}, {"b3"}}));
    fx.expectSoundChains(kLineA, 3);
    writeColumn(fx.f.card, *range, {"a"}, SuitChars{});
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {}, {}}));
    EXPECT_EQ(fx.f.card.sections[0].rowCount, 1);
}

TEST(ColumnEditRowsTest, FirstRowLinkedBehindAnotherLineIsStillTheLinesFirst) {
    // A row given to a hidden line by linking it behind the line before
    // (as inserting after a line's last row may do) has a predecessor,
    // yet it is its own line's first row.
    ColumnEditFixture fx;
    Card& card = fx.f.card;
    fx.setLines(0, 1, kLineA, {{"a"}, {"b1", "b2"}, {"c"}});
    const int a = card.lines[kLineA].firstRow;
    const int b1 = card.lines[kLineA + 1].firstRow;
    card.rows[a].nextRow = b1;
    card.rows[b1].prevRow = a;
    const auto range = columnEditRangeAt(card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    removeRangeRow(card, *range, 2);
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{"a"}, {"b2"}, {"c"}}));
    EXPECT_EQ(card.rows[card.lines[kLineA + 1].firstRow].prevRow, 0);
    EXPECT_EQ(card.sections[0].rowCount, 3);
}

TEST(ColumnEditRowsTest, NewRowsStayInsideTheSection) {
    // The line after the section's last one belongs to the next section;
    // even when it shows no rows it never receives one.
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{}, {}, {"c"}});
    fx.setLines(1, 1, kLineX, {{}, {"\ty\t"}});
    const auto range = columnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    writeColumn(fx.f.card, *range, {"c", "d"}, SuitChars{});
    EXPECT_EQ(fx.linesFrom(kLineA, 3), (Rows{{}, {}, {"c", "d"}}));
    EXPECT_EQ(fx.f.card.lines[kLineX].rowCount, 0);
    EXPECT_EQ(fx.f.card.sections[1].rowCount, 1);
    EXPECT_EQ(fx.f.card.sections[0].rowCount, 2);
}

TEST(ColumnEditRowsTest, WrittenCardReadsBackTheSameRows) {
    test::TempDir dir;
    ColumnEditFixture fx;
    fx.setLines(0, 1, kLineA, {{"a"}, {}, {}});
    fx.setLines(1, 1, kLineX, {{"\ta1\tk\t", "\ta2\t"}, {"\tb\t"}});
    auto range = columnEditRangeAt(fx.f.card, 0, 1, 1, 0);
    ASSERT_TRUE(range);
    writeColumn(fx.f.card, *range, {"x", "y", "z", "w"}, SuitChars{});
    range = columnEditRangeAt(fx.f.card, 1, 1, 1, 2);
    ASSERT_TRUE(range);
    writeColumn(fx.f.card, *range, {"K1"}, SuitChars{});
    fx.f.card.cardFileName = dir.path("edited.ccf");
    ASSERT_TRUE(fx.f.card.writeCardFile());

    CardFixture again(templateBytes());
    again.card.cardFileName = dir.path("edited.ccf");
    again.card.readCardFile();
    ASSERT_TRUE(again.messages.messages.empty());
    const Rows expected = {{"x"}, {"y"}, {"z", "w"}, {"\ta1\tK1\t"}, {"\tb\t"}};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(test::rowTexts(again.card, kLineA + i), expected[i]) << i;
    EXPECT_EQ(again.card.sections[0].rowCount, 4);
    EXPECT_EQ(again.card.sections[1].rowCount, 2);
}

}  // namespace
}  // namespace zqw
