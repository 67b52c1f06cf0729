#include "card/lineops.h"

#include <gtest/gtest.h>

#include <set>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;
using test::rowTexts;

// Section 0 "Multi": grid 1 of three columns (lines 1-3), grid 2 (lines 4-5).
// Section 1 "Single": grid 1 of one column (lines 6-8).
constexpr int kMulti = 0;
constexpr int kSingle = 1;

std::string lineopsTemplate() {
    return crlf({"FG", "PMulti", "C3204040", "HBid|Meaning|Notes|", "O1C", "O1D", "O1H", "A3070",
                 "OX", "OY", "PSingle", "C199", "L03"});
}

// Ten pixels a character: easy widths to reason about.
int tenPerChar(const std::string& text) { return static_cast<int>(text.size()) * 10; }

// One line of a grid as a test sets it up: its rows in order, or a hidden
// line keeping rows[0].
struct LineSetup {
    std::vector<std::string> rows;
    bool hidden = false;
};

LineSetup hidden(const std::string& kept) { return {{kept}, true}; }

class LineOpsTest : public ::testing::Test {
protected:
    LineOpsTest() : f(lineopsTemplate()) { f.card.resetToBlankCard(); }

    // Replaces the rows of a grid's lines, appending fresh rows the way a
    // card read lays them out, and recounts the sections.
    void setLines(int firstLine, const std::vector<LineSetup>& lines) {
        Card& card = f.card;
        for (size_t i = 0; i < lines.size(); ++i) {
            TemplateLine& line = card.lines.at(firstLine + static_cast<int>(i));
            int previous = 0;
            for (const std::string& text : lines[i].rows) {
                const int index = static_cast<int>(card.rows.size());
                RowText row;
                row.text = text;
                row.prevRow = previous;
                card.rows.push_back(row);
                if (previous == 0) {
                    line.firstRow = index;
                } else {
                    card.rows[previous].nextRow = index;
                }
                previous = index;
            }
            line.rowCount = lines[i].hidden ? 0 : static_cast<int>(lines[i].rows.size());
        }
        for (Section& form : card.sections) {
            form.rowCount = 0;
            for (int l = 0; l < form.lineCount; ++l)
                form.rowCount += card.lines[form.firstLine + l].rowCount;
            form.rowCount2 = 0;
            for (int l = 0; l < form.lineCount2; ++l)
                form.rowCount2 += card.lines[form.firstLine2 + l].rowCount;
        }
    }

    std::vector<std::vector<std::string>> linesOf(int firstLine, int count) const {
        std::vector<std::vector<std::string>> texts;
        for (int l = firstLine; l < firstLine + count; ++l) texts.push_back(rowTexts(f.card, l));
        return texts;
    }

    // Every chain runs FirstRow..nextRow with matching PrevRow links and ends
    // with NextRow 0 after RowCount rows; no row belongs to two lines; every
    // hidden line still designates a row; the sections' counts are sums.
    void expectChainsWhole() const {
        const Card& card = f.card;
        const int rows = static_cast<int>(card.rows.size());
        std::set<int> used;
        for (size_t l = 1; l < card.lines.size(); ++l) {
            const TemplateLine& line = card.lines[l];
            ASSERT_GE(line.rowCount, 0) << "line " << l;
            ASSERT_TRUE(line.firstRow > 0 && line.firstRow < rows) << "line " << l;
            if (line.rowCount == 0) {
                EXPECT_TRUE(used.insert(line.firstRow).second) << "kept row shared, line " << l;
                continue;
            }
            int row = line.firstRow;
            int previous = 0;
            for (int k = 0; k < line.rowCount; ++k) {
                ASSERT_TRUE(row > 0 && row < rows) << "line " << l << " row " << k;
                EXPECT_EQ(card.rows[row].prevRow, previous) << "line " << l << " row " << k;
                EXPECT_TRUE(used.insert(row).second) << "row " << row << " in two chains";
                previous = row;
                row = card.rows[row].nextRow;
            }
            EXPECT_EQ(row, 0) << "line " << l << " chain longer than its count";
        }
        for (const Section& form : card.sections) {
            int sum = 0;
            for (int l = 0; l < form.lineCount; ++l) sum += card.lines[form.firstLine + l].rowCount;
            EXPECT_EQ(form.rowCount, sum) << form.name;
            int sum2 = 0;
            for (int l = 0; l < form.lineCount2; ++l)
                sum2 += card.lines[form.firstLine2 + l].rowCount;
            EXPECT_EQ(form.rowCount2, sum2) << form.name;
        }
    }

    int firstLine(int section, int grid) const {
        const Section& form = f.card.sections[section];
        return grid == 1 ? form.firstLine : form.firstLine2;
    }
    int lineCount(int section, int grid) const {
        const Section& form = f.card.sections[section];
        return grid == 1 ? form.lineCount : form.lineCount2;
    }

    CardFixture f;
};

using Lines = std::vector<std::vector<std::string>>;

// --- splitting ----------------------------------------------------------------

struct SplitCase {
    const char* name;
    std::string text;
    int width;
    std::string head;
    std::string rest;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitRowAtWidthCases : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitRowAtWidthCases, CutsAfterASpaceAndLosesNothing) {
    const SplitCase& c = GetParam();
    const SplitText split = splitRowAtWidth(c.text, c.width, tenPerChar);
    EXPECT_EQ(split.head, c.head);
    EXPECT_EQ(split.rest, c.rest);
    EXPECT_EQ(split.head + split.rest, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, SplitRowAtWidthCases,
    ::testing::Values(
        SplitCase{"two_of_three_words_fit", "aaa bbb ccc", 81, "aaa bbb ", "ccc"},
        SplitCase{"head_reaching_the_width_stops", "aaa bbb ccc", 80, "aaa ", "bbb ccc"},
        SplitCase{"one_over_wide_word_stays", "abcdefghijkl", 50, "abcdefghijkl", ""},
        SplitCase{"over_wide_first_word_keeps_its_space", "abcdefgh ij", 50, "abcdefgh ", "ij"},
        SplitCase{"double_space_is_a_piece", "aa  bb", 45, "aa  ", "bb"},
        SplitCase{"trailing_space", "aaa bbb ", 50, "aaa ", "bbb "},
        SplitCase{"text_that_fits_stays_whole", "abc", 100, "abc", ""},
        SplitCase{"empty_text", "", 30, "", ""},
        SplitCase{"zero_width_keeps_the_text", "aaa bbb ccc", 0, "aaa bbb ccc", ""},
        SplitCase{"negative_width_keeps_the_text", "aaa bbb", -4, "aaa bbb", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- insert before --------------------------------------------------------------

struct BeforeCase {
    const char* name;
    std::vector<LineSetup> setup;  // the Single section's three lines
    int row;
    Lines expected;
    const char* message;  // nullptr: none
    int rowsCreated;
};

void PrintTo(const BeforeCase& c, std::ostream* os) { *os << c.name; }

class InsertRowBeforeCases : public LineOpsTest,
                             public ::testing::WithParamInterface<BeforeCase> {};

TEST_P(InsertRowBeforeCases, LinksTheRowAndKeepsTheChains) {
    const BeforeCase& c = GetParam();
    setLines(firstLine(kSingle, 1), c.setup);
    const size_t rowsBefore = f.card.rows.size();
    const int shownBefore = f.card.sections[kSingle].rowCount;

    const LineResult result = insertRowBefore(f.card, kSingle, 1, c.row);

    EXPECT_EQ(linesOf(firstLine(kSingle, 1), 3), c.expected);
    EXPECT_EQ(f.card.rows.size(), rowsBefore + c.rowsCreated);
    expectChainsWhole();
    if (c.message) {
        EXPECT_EQ(result, LineResult::FirstLineOfGrid);
        EXPECT_EQ(f.messages.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(f.card.sections[kSingle].rowCount, shownBefore);
        EXPECT_FALSE(f.card.isModified);
    } else {
        EXPECT_EQ(result, LineResult::Done);
        EXPECT_TRUE(f.messages.messages.empty());
        EXPECT_EQ(f.card.sections[kSingle].rowCount, shownBefore + 1);
        EXPECT_TRUE(f.card.isModified);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InsertRowBeforeCases,
    ::testing::Values(BeforeCase{"first_row_of_the_grid",
                                 {{{"a1", "a2"}}, {{"b1"}}, {{"c1"}}},
                                 1,
                                 Lines{{"a1", "a2"}, {"b1"}, {"c1"}},
                                 "Cannot insert a line before the first line of the section",
                                 0},
                      BeforeCase{"second_row_of_a_line",
                                 {{{"a1", "a2"}}, {{"b1"}}, {{"c1"}}},
                                 2,
                                 Lines{{"a1", "", "a2"}, {"b1"}, {"c1"}},
                                 nullptr,
                                 1},
                      BeforeCase{"middle_of_three_rows",
                                 {{{"a1"}}, {{"b1"}}, {{"c1", "c2", "c3"}}},
                                 4,
                                 Lines{{"a1"}, {"b1"}, {"c1", "", "c2", "c3"}},
                                 nullptr,
                                 1},
                      BeforeCase{"first_row_joins_the_line_above",
                                 {{{"a1", "a2"}}, {{"b1"}}, {{"c1"}}},
                                 3,
                                 Lines{{"a1", "a2", ""}, {"b1"}, {"c1"}},
                                 nullptr,
                                 1},
                      BeforeCase{"hidden_line_above_shows_again",
                                 {{{"a1"}}, hidden("kept b"), {{"c1"}}},
                                 2,
                                 Lines{{"a1"}, {"kept b"}, {"c1"}},
                                 nullptr,
                                 0},
                      BeforeCase{"hidden_first_line_shows_again",
                                 {hidden("kept a"), {{"b1"}}, {{"c1"}}},
                                 1,
                                 Lines{{"kept a"}, {"b1"}, {"c1"}},
                                 nullptr,
                                 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineOpsTest, HiddenLineShowsAgainWithItsNoteNumber) {
    setLines(firstLine(kSingle, 1), {{{"a1"}}, hidden("kept"), {{"c1"}}});
    const int kept = f.card.lines[7].firstRow;
    f.card.rows[kept].noteNo = 14;
    ASSERT_EQ(insertRowBefore(f.card, kSingle, 1, 2), LineResult::Done);
    EXPECT_EQ(f.card.lines[7].firstRow, kept);
    EXPECT_EQ(f.card.lines[7].rowCount, 1);
    EXPECT_EQ(f.card.rows[kept].noteNo, 14);
}

TEST_F(LineOpsTest, InsertBeforeInGrid2StaysInGrid2) {
    setLines(firstLine(kMulti, 1), {{{"\tp\t"}}, {{"\tq\t"}}, {{"\tr\t"}}});
    setLines(firstLine(kMulti, 2), {{{"x1"}}, {{"y1"}}});
    EXPECT_EQ(insertRowBefore(f.card, kMulti, 2, 1), LineResult::FirstLineOfGrid);
    EXPECT_EQ(insertRowBefore(f.card, kMulti, 2, 2), LineResult::Done);
    EXPECT_EQ(linesOf(firstLine(kMulti, 2), 2), (Lines{{"x1", ""}, {"y1"}}));
    EXPECT_EQ(linesOf(firstLine(kMulti, 1), 3), (Lines{{"\tp\t"}, {"\tq\t"}, {"\tr\t"}}));
    EXPECT_EQ(f.card.sections[kMulti].rowCount, 3);
    EXPECT_EQ(f.card.sections[kMulti].rowCount2, 3);
    expectChainsWhole();
}

// --- delete -----------------------------------------------------------------------

struct DeleteCase {
    const char* name;
    std::vector<LineSetup> setup;
    int row;
    Lines expected;  // shown rows per line
    int hiddenLine;  // 0-based among the three, or -1
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeleteRowCases : public LineOpsTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteRowCases, UnlinksTheRowAndKeepsTheChains) {
    const DeleteCase& c = GetParam();
    setLines(firstLine(kSingle, 1), c.setup);
    const size_t rowsBefore = f.card.rows.size();
    const int deleted = f.card.findRow(kSingle, firstLine(kSingle, 1), c.row).row;
    const std::string deletedText = f.card.rows[deleted].text;

    ASSERT_EQ(deleteRow(f.card, kSingle, 1, c.row), LineResult::Done);

    EXPECT_EQ(linesOf(firstLine(kSingle, 1), 3), c.expected);
    int shown = 0;
    for (const auto& rows : c.expected) shown += static_cast<int>(rows.size());
    EXPECT_EQ(f.card.sections[kSingle].rowCount, shown);
    // The record stays in the list, keeping its text.
    EXPECT_EQ(f.card.rows.size(), rowsBefore);
    EXPECT_EQ(f.card.rows[deleted].text, deletedText);
    if (c.hiddenLine >= 0) {
        const TemplateLine& hiddenLine = f.card.lines[firstLine(kSingle, 1) + c.hiddenLine];
        EXPECT_EQ(hiddenLine.rowCount, 0);
        EXPECT_EQ(hiddenLine.firstRow, deleted);
    }
    EXPECT_TRUE(f.card.isModified);
    EXPECT_TRUE(f.messages.messages.empty());
    expectChainsWhole();
}

INSTANTIATE_TEST_SUITE_P(Rows, DeleteRowCases,
                         ::testing::Values(DeleteCase{"first_of_three",
                                                      {{{"a1"}}, {{"b1"}}, {{"c1", "c2", "c3"}}},
                                                      3,
                                                      Lines{{"a1"}, {"b1"}, {"c2", "c3"}},
                                                      -1},
                                           DeleteCase{"middle_of_three",
                                                      {{{"a1"}}, {{"b1"}}, {{"c1", "c2", "c3"}}},
                                                      4,
                                                      Lines{{"a1"}, {"b1"}, {"c1", "c3"}},
                                                      -1},
                                           DeleteCase{"last_of_three",
                                                      {{{"a1"}}, {{"b1"}}, {{"c1", "c2", "c3"}}},
                                                      5,
                                                      Lines{{"a1"}, {"b1"}, {"c1", "c2"}},
                                                      -1},
                                           DeleteCase{"only_row_hides_the_line",
                                                      {{{"a1", "a2"}}, {{"b1"}}, {{"c1"}}},
                                                      3,
                                                      Lines{{"a1", "a2"}, {}, {"c1"}},
                                                      1},
                                           DeleteCase{"first_row_of_the_grid",
                                                      {{{"a1"}}, {{"b1"}}, {{"c1"}}},
                                                      1,
                                                      Lines{{}, {"b1"}, {"c1"}},
                                                      0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineOpsTest, DeletingDownToOneRowThenRefuses) {
    setLines(firstLine(kMulti, 2), {{{"x1"}}, {{"y1"}}});
    ASSERT_EQ(deleteRow(f.card, kMulti, 2, 2), LineResult::Done);
    EXPECT_EQ(f.card.lines[5].rowCount, 0);
    EXPECT_EQ(f.card.sections[kMulti].rowCount2, 1);
    f.card.isModified = false;

    EXPECT_EQ(deleteRow(f.card, kMulti, 2, 1), LineResult::OnlyRow);
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Each section must have one line"});
    EXPECT_EQ(f.card.sections[kMulti].rowCount2, 1);
    EXPECT_EQ(f.card.lines[4].rowCount, 1);
    EXPECT_FALSE(f.card.isModified);
    expectChainsWhole();
}

TEST_F(LineOpsTest, DeletedThenShownAgainBringsTheOldText) {
    setLines(firstLine(kSingle, 1), {{{"a1"}}, {{"b1"}}, {{"c1"}}});
    ASSERT_EQ(deleteRow(f.card, kSingle, 1, 2), LineResult::Done);
    ASSERT_EQ(insertRowBefore(f.card, kSingle, 1, 2), LineResult::Done);
    EXPECT_EQ(linesOf(firstLine(kSingle, 1), 3), (Lines{{"a1"}, {"b1"}, {"c1"}}));
    expectChainsWhole();
}

// --- insert after -------------------------------------------------------------------

struct AfterCase {
    const char* name;
    int section;
    int grid;
    std::vector<LineSetup> setup;  // the lines of that grid
    std::vector<LineSetup> grid2;  // the Multi section's grid 2, when given
    std::vector<int> widths;       // pixels per grid column
    int row;
    Lines expected;       // the grid's lines afterwards
    Lines expectedGrid2;  // the Multi grid 2 afterwards, when given
};

void PrintTo(const AfterCase& c, std::ostream* os) { *os << c.name; }

class InsertRowAfterCases : public LineOpsTest, public ::testing::WithParamInterface<AfterCase> {};

TEST_P(InsertRowAfterCases, SplitsIntoANewRowAndKeepsTheChains) {
    const AfterCase& c = GetParam();
    setLines(firstLine(c.section, c.grid), c.setup);
    if (!c.grid2.empty()) setLines(firstLine(kMulti, 2), c.grid2);
    const Section& form = f.card.sections[c.section];
    const int shownBefore = c.grid == 1 ? form.rowCount : form.rowCount2;

    ASSERT_EQ(insertRowAfter(f.card, c.section, c.grid, c.row, c.widths, tenPerChar),
              LineResult::Done);

    EXPECT_EQ(linesOf(firstLine(c.section, c.grid), lineCount(c.section, c.grid)), c.expected);
    if (!c.expectedGrid2.empty()) {
        EXPECT_EQ(linesOf(firstLine(kMulti, 2), 2), c.expectedGrid2);
    }
    EXPECT_EQ(c.grid == 1 ? form.rowCount : form.rowCount2, shownBefore + 1);
    EXPECT_TRUE(f.card.isModified);
    expectChainsWhole();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InsertRowAfterCases,
    ::testing::Values(AfterCase{"fitting_text",
                                kSingle,
                                1,
                                {{{"a1"}}, {{"b1"}}, {{"c1"}}},
                                {},
                                {100},
                                2,
                                Lines{{"a1"}, {"b1", ""}, {"c1"}},
                                {}},
                      AfterCase{"two_of_three_words_fit",
                                kSingle,
                                1,
                                {{{"a1"}}, {{"aaa bbb ccc"}}, {{"c1"}}},
                                {},
                                {100},
                                2,
                                Lines{{"a1"}, {"aaa bbb ", "ccc"}, {"c1"}},
                                {}},
                      AfterCase{"one_over_wide_word",
                                kSingle,
                                1,
                                {{{"abcdefghijkl"}}, {{"b1"}}, {{"c1"}}},
                                {},
                                {100},
                                1,
                                Lines{{"abcdefghijkl", ""}, {"b1"}, {"c1"}},
                                {}},
                      AfterCase{"zero_width_column_keeps_the_text",
                                kSingle,
                                1,
                                {{{"aaa bbb ccc"}}, {{"b1"}}, {{"c1"}}},
                                {},
                                {0},
                                1,
                                Lines{{"aaa bbb ccc", ""}, {"b1"}, {"c1"}},
                                {}},
                      AfterCase{"inside_a_chain",
                                kSingle,
                                1,
                                {{{"a1", "a2"}}, {{"b1"}}, {{"c1"}}},
                                {},
                                {100},
                                1,
                                Lines{{"a1", "", "a2"}, {"b1"}, {"c1"}},
                                {}},
                      AfterCase{"into_the_hidden_next_line",
                                kSingle,
                                1,
                                {{{"aaa bbb ccc"}}, hidden("old"), {{"c1"}}},
                                {},
                                {100},
                                1,
                                Lines{{"aaa bbb "}, {"ccc"}, {"c1"}},
                                {}},
                      AfterCase{"multi_row_line_keeps_the_new_row",
                                kSingle,
                                1,
                                {{{"a1", "a2"}}, hidden("old"), {{"c1"}}},
                                {},
                                {100},
                                2,
                                Lines{{"a1", "a2", ""}, {}, {"c1"}},
                                {}},
                      AfterCase{"every_field_is_split",
                                kMulti,
                                1,
                                {{{"\taaa bbb ccc\tx\t"}}, {{"\tp\t"}}, {{"\tq\t"}}},
                                {},
                                {30, 100, 100},
                                1,
                                Lines{{"\taaa bbb \tx\t", "\tccc\t\t"}, {"\tp\t"}, {"\tq\t"}},
                                {}},
                      AfterCase{"last_line_of_grid_1_above_hidden_grid_2",
                                kMulti,
                                1,
                                {{{"\tp\t\t"}}, {{"\tq\t\t"}}, {{"\tr\t\t"}}},
                                {hidden("old x"), {{"y1"}}},
                                {30, 100, 100},
                                3,
                                Lines{{"\tp\t\t"}, {"\tq\t\t"}, {"\tr\t\t", "\t\t\t"}},
                                Lines{{}, {"y1"}}},
                      AfterCase{"grid_2_text",
                                kMulti,
                                2,
                                {{{"aaa bbb ccc"}}, {{"y1"}}},
                                {},
                                {30, 100},
                                1,
                                Lines{{"aaa bbb ", "ccc"}, {"y1"}},
                                {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineOpsTest, HiddenLinesKeptRowIsDroppedWhenARowMovesIn) {
    setLines(firstLine(kSingle, 1), {{{"a1"}}, hidden("old"), {{"c1"}}});
    const int old = f.card.lines[7].firstRow;
    f.card.rows[old].noteNo = 3;
    ASSERT_EQ(insertRowAfter(f.card, kSingle, 1, 1, {100}, tenPerChar), LineResult::Done);
    EXPECT_NE(f.card.lines[7].firstRow, old);
    EXPECT_EQ(f.card.lines[7].rowCount, 1);
    EXPECT_EQ(f.card.rows[f.card.lines[7].firstRow].noteNo, 0);
    EXPECT_EQ(f.card.rows[f.card.lines[6].firstRow].nextRow, 0);
}

// --- replicate down -------------------------------------------------------------------

struct ReplicateCase {
    const char* name;
    int section;
    int grid;
    std::vector<LineSetup> setup;
    int row;
    int column;
    Lines expected;
};

void PrintTo(const ReplicateCase& c, std::ostream* os) { *os << c.name; }

class ReplicateDownCases : public LineOpsTest,
                           public ::testing::WithParamInterface<ReplicateCase> {};

TEST_P(ReplicateDownCases, CopiesIntoLaterRowsOnly) {
    const ReplicateCase& c = GetParam();
    setLines(firstLine(c.section, c.grid), c.setup);
    ASSERT_EQ(replicateDown(f.card, c.section, c.grid, c.row, c.column), LineResult::Done);
    EXPECT_EQ(linesOf(firstLine(c.section, c.grid), lineCount(c.section, c.grid)), c.expected);
    EXPECT_TRUE(f.card.isModified);
    expectChainsWhole();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReplicateDownCases,
    ::testing::Values(
        ReplicateCase{"third_of_six_rows",
                      kSingle,
                      1,
                      {{{"r1", "r2", "r3"}}, {{"r4", "r5"}}, {{"r6"}}},
                      3,
                      0,
                      Lines{{"r1", "r2", "r3"}, {"r3", "r3"}, {"r3"}}},
        ReplicateCase{"rest_of_its_own_line_too",
                      kSingle,
                      1,
                      {{{"r1", "r2", "r3"}}, {{"r4", "r5"}}, {{"r6"}}},
                      2,
                      0,
                      Lines{{"r1", "r2", "r2"}, {"r2", "r2"}, {"r2"}}},
        ReplicateCase{"last_row_copies_nothing",
                      kSingle,
                      1,
                      {{{"r1"}}, {{"r2"}}, {{"r3"}}},
                      3,
                      0,
                      Lines{{"r1"}, {"r2"}, {"r3"}}},
        ReplicateCase{"one_column_of_three",
                      kMulti,
                      1,
                      {{{"\ta\tx\t"}}, {{"\tb\ty\t"}}, {{"\tc\tz\t"}}},
                      1,
                      1,
                      Lines{{"\ta\tx\t"}, {"\ta\ty\t"}, {"\ta\tz\t"}}},
        ReplicateCase{
            "grid_2", kMulti, 2, {{{"x1"}}, {{"y1", "y2"}}}, 1, 1, Lines{{"x1"}, {"x1", "x1"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineOpsTest, ReplicateWritesHiddenRowsButNotNotes) {
    setLines(firstLine(kSingle, 1), {{{"a1"}}, hidden("kept"), {{"c1"}}});
    f.card.rows[f.card.lines[6].firstRow].noteNo = 5;
    ASSERT_EQ(replicateDown(f.card, kSingle, 1, 1, 0), LineResult::Done);
    EXPECT_EQ(f.card.rows[f.card.lines[7].firstRow].text, "a1");
    EXPECT_EQ(f.card.rows[f.card.lines[7].firstRow].noteNo, 0);
    EXPECT_EQ(f.card.rows[f.card.lines[8].firstRow].noteNo, 0);
    EXPECT_EQ(f.card.lines[7].rowCount, 0);
}

TEST_F(LineOpsTest, ReplicateInGrid2LeavesGrid1Alone) {
    setLines(firstLine(kMulti, 1), {{{"\tp\t"}}, {{"\tq\t"}}, {{"\tr\t"}}});
    setLines(firstLine(kMulti, 2), {{{"x1"}}, {{"y1"}}});
    ASSERT_EQ(replicateDown(f.card, kMulti, 2, 1, 1), LineResult::Done);
    EXPECT_EQ(linesOf(firstLine(kMulti, 1), 3), (Lines{{"\tp\t"}, {"\tq\t"}, {"\tr\t"}}));
    EXPECT_EQ(linesOf(firstLine(kMulti, 2), 2), (Lines{{"x1"}, {"x1"}}));
}

// --- what the commands refuse ---------------------------------------------------------------

struct RefusedCase {
    const char* name;
    int section;
    int grid;
    int row;
    int column;
    LineResult expected;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class ReplicateRefusedCases : public LineOpsTest,
                              public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ReplicateRefusedCases, ChangesNothing) {
    const RefusedCase& c = GetParam();
    setLines(firstLine(kMulti, 1), {{{"\thidden field\tx\t"}}, {{"\tq\t"}}, {{"\tr\t"}}});
    setLines(firstLine(kMulti, 2), {{{"x1"}}, {{"y1"}}});
    const std::vector<RowText> before = f.card.rows;
    EXPECT_EQ(replicateDown(f.card, c.section, c.grid, c.row, c.column), c.expected);
    ASSERT_EQ(f.card.rows.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(f.card.rows[i].text, before[i].text) << i;
    EXPECT_FALSE(f.card.isModified);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ReplicateRefusedCases,
    ::testing::Values(RefusedCase{"grid_1_label_column", kMulti, 1, 1, 0, LineResult::LabelColumn},
                      RefusedCase{"grid_2_label_column", kMulti, 2, 1, 0, LineResult::LabelColumn},
                      RefusedCase{"row_past_the_grid", kMulti, 1, 4, 1, LineResult::NoRow},
                      RefusedCase{"row_zero", kMulti, 1, 0, 1, LineResult::NoRow},
                      RefusedCase{"section_without_grid_2", kSingle, 2, 1, 1, LineResult::NoRow},
                      RefusedCase{"no_such_section", 7, 1, 1, 1, LineResult::NoRow}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineOpsTest, RowOutsideTheGridIsLeftAlone) {
    setLines(firstLine(kSingle, 1), {{{"a1"}}, {{"b1"}}, {{"c1"}}});
    const size_t rows = f.card.rows.size();
    EXPECT_EQ(insertRowBefore(f.card, kSingle, 1, 4), LineResult::NoRow);
    EXPECT_EQ(deleteRow(f.card, kSingle, 1, 0), LineResult::NoRow);
    EXPECT_EQ(insertRowAfter(f.card, kSingle, 1, 9, {100}, tenPerChar), LineResult::NoRow);
    EXPECT_EQ(insertRowAfter(f.card, kSingle, 2, 1, {100}, tenPerChar), LineResult::NoRow);
    EXPECT_EQ(f.card.rows.size(), rows);
    EXPECT_EQ(f.card.sections[kSingle].rowCount, 3);
    EXPECT_FALSE(f.card.isModified);
    EXPECT_TRUE(f.messages.messages.empty());
}

}  // namespace
}  // namespace zqw
