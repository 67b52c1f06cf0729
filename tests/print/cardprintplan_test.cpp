#include "card/cardprintplan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;

// A first page of exactly `lastRow` rows: one narrow section whose lines
// follow the four title rows, then a wide section of three lines.
std::string templateWithFirstPageRows(int lastRow) {
    const int count = lastRow - 4;  // 1..99
    const std::string lines = "L" + std::to_string(count / 10) + std::to_string(count % 10);
    return crlf({"FFirst", "PNarrow", "C195", lines, "PWide", "C52020202020", "L03"});
}

CardPrintOptions options(int columns, CardPages pages = CardPages::All) {
    CardPrintOptions o;
    o.layoutColumns = columns;
    o.printableWidth = 3206;
    o.usableHeight = 4659;
    o.headerHeight = 4;
    o.pages = pages;
    return o;
}

// The print rows of each layout column of the first page, rightmost first.
std::vector<std::vector<int>> firstPageColumns(const CardPrintPlan& plan, int columns) {
    std::vector<std::vector<int>> byColumn(static_cast<size_t>(columns));
    const int width = plan.firstPageColumnWidth();
    for (const PrintBand& band : plan.pages().front().bands) {
        for (const PlacedRow& cell : band.cells) {
            const int fromLeft = cell.x / width;
            byColumn[static_cast<size_t>(columns - 1 - fromLeft)].push_back(cell.row);
        }
    }
    return byColumn;
}

std::vector<int> range(int first, int last) {
    std::vector<int> rows(static_cast<size_t>(last - first + 1));
    std::iota(rows.begin(), rows.end(), first);
    return rows;
}

// Gives every row of every line the text its section holds: `single` in a
// one-column grid or grid 2, `multi` in a grid of several columns.
void fillRows(Card& card, const std::string& single, const std::string& multi, int noteNo) {
    for (const Section& section : card.sections) {
        const auto fill = [&](int firstLine, int lineCount, const std::string& text) {
            for (int l = firstLine; l < firstLine + lineCount; ++l) {
                for (int r = card.lines[size_t(l)].firstRow; r > 0;
                     r = card.rows[size_t(r)].nextRow) {
                    card.rows[size_t(r)].text = text;
                    card.rows[size_t(r)].noteNo = noteNo;
                }
            }
        };
        fill(section.firstLine, section.lineCount, section.columnCount > 1 ? multi : single);
        if (section.hasGrid2) fill(section.firstLine2, section.lineCount2, single);
    }
}

struct DistributionCase {
    int lastRow;
    int columns;
    int bands;
    std::vector<std::pair<int, int>> runs;  // first and last row, rightmost column first
};

class FirstPageDistribution : public ::testing::TestWithParam<DistributionCase> {};

TEST_P(FirstPageDistribution, ColumnsHoldConsecutiveRowsReadFromTheRight) {
    const DistributionCase& c = GetParam();
    CardFixture f(templateWithFirstPageRows(c.lastRow));
    f.card.resetToBlankCard();
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(c.columns));
    ASSERT_EQ(plan.lastFirstPageRow(), c.lastRow);
    ASSERT_EQ(plan.pages().size(), 2u);
    EXPECT_EQ(plan.pages()[0].bands.size(), static_cast<size_t>(c.bands));
    const auto columns = firstPageColumns(plan, c.columns);
    for (size_t i = 0; i < c.runs.size(); ++i) {
        EXPECT_EQ(columns[i], range(c.runs[i].first, c.runs[i].second)) << "column " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Figures, FirstPageDistribution,
    ::testing::Values(DistributionCase{60, 3, 20, {{1, 20}, {21, 40}, {41, 60}}},
                      DistributionCase{61, 3, 21, {{1, 20}, {21, 40}, {41, 61}}},
                      DistributionCase{61, 2, 31, {{1, 30}, {31, 61}}},
                      DistributionCase{61, 1, 61, {{1, 61}}},
                      // A remainder of two: the middle and left columns take
                      // one row more, and no row is printed twice or lost.
                      DistributionCase{62, 3, 21, {{1, 20}, {21, 41}, {42, 62}}}));

TEST(FirstPageDistribution, EveryRowOnceAndInOrderForAnyCount) {
    for (int lastRow = 5; lastRow <= 70; ++lastRow) {
        CardFixture f(templateWithFirstPageRows(lastRow));
        f.card.resetToBlankCard();
        for (int columns = 1; columns <= 3; ++columns) {
            const CardPrintPlan plan = CardPrintPlan::build(f.card, options(columns));
            std::vector<int> readOrder;
            for (const auto& column : firstPageColumns(plan, columns)) {
                readOrder.insert(readOrder.end(), column.begin(), column.end());
            }
            ASSERT_EQ(readOrder, range(1, lastRow))
                << lastRow << " rows, " << columns << " columns";
            ASSERT_EQ(plan.pages()[0].bands.size(),
                      static_cast<size_t>((lastRow + columns - 1) / columns));
        }
    }
}

TEST(CardPrintPages, SecondPageHoldsTheRestAcrossTheWidth) {
    CardFixture f(templateWithFirstPageRows(20));
    f.card.resetToBlankCard();
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    ASSERT_EQ(plan.lastRow(), 24);  // wide heading and three rows
    const CardPrintPage& second = plan.pages()[1];
    EXPECT_EQ(second.part, 2);
    EXPECT_FALSE(second.showsTitle);
    ASSERT_EQ(second.bands.size(), 4u);
    for (size_t b = 0; b < 4; ++b) {
        ASSERT_EQ(second.bands[b].cells.size(), 1u);
        EXPECT_EQ(second.bands[b].cells[0].row, 21 + static_cast<int>(b));
        EXPECT_EQ(second.bands[b].cells[0].x, 0);
        EXPECT_EQ(second.bands[b].cells[0].width, 3202);
    }

    const CardPrintPlan firstOnly = CardPrintPlan::build(f.card, options(3, CardPages::FirstOnly));
    ASSERT_EQ(firstOnly.pages().size(), 1u);
    EXPECT_TRUE(firstOnly.pages()[0].showsTitle);
    const CardPrintPlan secondOnly =
        CardPrintPlan::build(f.card, options(3, CardPages::SecondOnly));
    ASSERT_EQ(secondOnly.pages().size(), 1u);
    EXPECT_EQ(secondOnly.pages()[0].part, 2);
    EXPECT_FALSE(secondOnly.pages()[0].showsTitle);
}

TEST(CardPrintPages, NarrowSectionsOnTheSecondPageUseItsWholeWidth) {
    CardFixture f(crlf(
        {"FFirst", "PA", "C195", "L01", "PWide", "C52020202020", "L01", "PAfter", "C195", "L01"}));
    f.card.resetToBlankCard();
    fillRows(f.card, "text", "a\tb\tc\td\te\t", 0);
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    const PrintRow& first = plan.row(5);
    ASSERT_EQ(first.labels.size(), 1u);
    EXPECT_EQ(first.labels[0].width, 1068 - 4 - 4);
    const PrintRow& after = plan.row(plan.lastRow());
    ASSERT_EQ(after.kind, PrintRowKind::Text);
    ASSERT_EQ(after.labels.size(), 1u);
    EXPECT_EQ(after.labels[0].width, 3206 - 4 - 4);
    const PrintRow& heading = plan.row(plan.lastRow() - 1);
    ASSERT_EQ(heading.kind, PrintRowKind::SectionHeading);
    EXPECT_EQ(heading.labels.at(0).width, 3206 - 4 - 2);
}

TEST(CardPrintPages, WithoutAWideSectionEverythingPrintsOnTheFirstPage) {
    CardFixture f(crlf({"FFirst", "PA", "C195", "L03", "GSecond", "PB", "C195", "L02"}));
    f.card.resetToBlankCard();
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(2));
    // Title rows, A's rows, the heading of Second, B's heading and rows.
    EXPECT_EQ(plan.lastRow(), 4 + 3 + 1 + 1 + 2);
    EXPECT_EQ(plan.lastFirstPageRow(), plan.lastRow());
    ASSERT_EQ(plan.pages().size(), 1u);
    EXPECT_EQ(plan.row(8).kind, PrintRowKind::GroupHeading);
    EXPECT_TRUE(CardPrintPlan::build(f.card, options(2, CardPages::SecondOnly)).pages().empty());
}

TEST(RowHeights, ExtraPixelsGoToTheFirstBands) {
    const RowHeights heights = rowHeightsFor(4659, 21);
    EXPECT_EQ(heights.rowHeight, 211);
    EXPECT_EQ(heights.extraPixels, 17);

    CardFixture f(templateWithFirstPageRows(61));
    f.card.resetToBlankCard();
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    const auto& bands = plan.pages()[0].bands;
    ASSERT_EQ(bands.size(), 21u);
    int top = 4;  // below the page's header strip
    for (size_t b = 0; b < bands.size(); ++b) {
        EXPECT_EQ(bands[b].height, b < 17 ? 212 : 211) << b;
        EXPECT_EQ(bands[b].top, top) << b;
        top += bands[b].height;
    }
}

TEST(RowHeights, TitleColumnHasNoRulesUnderItsFourRows) {
    CardFixture f(templateWithFirstPageRows(60));
    f.card.resetToBlankCard();
    for (const int columns : {1, 2, 3}) {
        const CardPrintPlan plan = CardPrintPlan::build(f.card, options(columns));
        const auto& bands = plan.pages()[0].bands;
        const int width = plan.firstPageColumnWidth();
        for (size_t b = 0; b < bands.size(); ++b) {
            EXPECT_EQ(bands[b].ruleRight, b < 4 ? width * (columns - 1) : 3206)
                << columns << " columns, band " << b;
        }
    }
}

TEST(TitlePlacement, EmblemAndTitleInTheTopRightCorner) {
    // The title and emblem of the figures: e = 3206, three columns, emblem
    // 125 wide and title 516 wide.
    const TitlePlacement place = placeTitle(3206, 3, 300, 150, 516, 60, 125, 125);
    EXPECT_EQ(place.emblem.x, 3077);
    EXPECT_EQ(place.title.x, 2559);
    EXPECT_EQ(place.title.y, 4 * 300 - 150 - 60 - 5);
    EXPECT_EQ(place.emblem.y, 4 * 300 - 150 - 125);

    // A title too wide for the space beside the emblem starts at the left
    // of the title column and the emblem gives way: upwards when there is
    // room above it, else to the right of the title.
    const TitlePlacement wide = placeTitle(3206, 3, 300, 150, 1000, 60, 125, 125);
    EXPECT_EQ(wide.title.x, 3206 - 1068 + 4);
    EXPECT_EQ(wide.emblem.x, 3077);
    EXPECT_EQ(wide.emblem.y, 4 * 300 - 150 - 125 - 60);
    const TitlePlacement low = placeTitle(3206, 3, 60, 150, 1000, 60, 125, 125);
    EXPECT_EQ(low.emblem.x, 3206 - 1068 + 4 + 1000);
    EXPECT_GE(low.title.y, 0);
    EXPECT_GE(low.emblem.y, 0);
}

// Rows of a small card, printed by kind.
class RowWalkTest : public ::testing::Test {
protected:
    static std::vector<std::string> describe(const CardPrintPlan& plan) {
        std::vector<std::string> out;
        for (int n = 5; n <= plan.lastRow(); ++n) {
            const PrintRow& row = plan.row(n);
            std::string text;
            for (const PrintLabel& label : row.labels) text += label.text + "|";
            switch (row.kind) {
                case PrintRowKind::GroupHeading:
                    out.push_back("group " + text);
                    break;
                case PrintRowKind::SectionHeading:
                    out.push_back("section " + text);
                    break;
                case PrintRowKind::ColumnHeadings:
                    out.push_back("headings " + text);
                    break;
                default:
                    out.push_back("row " + text);
                    break;
            }
        }
        return out;
    }
};

TEST_F(RowWalkTest, HiddenLinesAndLateGroupsTakeNoRow) {
    CardFixture f(
        crlf({"FFirst", "PAlpha", "C195", "L02", "GSecond", "PBeta", "C195", "L01", "PWide",
              "C52020202020", "HA|B|C|D|E|", "L01", "GThird", "PGamma", "C195", "L01"}));
    f.card.resetToBlankCard();
    f.card.rows[1].text = "a1";
    f.card.lines[2].rowCount = 0;  // Alpha's second line hidden
    f.card.sections[0].rowCount = 1;
    f.card.rows[3].text = "b1";
    f.card.rows[5].text = "g1";
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    const std::vector<std::string> expected = {"row a1|", "group Second|",  "section Beta|",
                                               "row b1|", "section Wide|",  "headings A|B|C|D|E|",
                                               "row ",    "section Gamma|", "row g1|"};
    EXPECT_EQ(describe(plan), expected);
    EXPECT_EQ(plan.lastFirstPageRow(), 8);
    // The first section's heading falls on the fourth title row.
    EXPECT_EQ(plan.row(4).kind, PrintRowKind::Title);
    EXPECT_TRUE(plan.row(4).labels.empty());
}

TEST_F(RowWalkTest, GroupOpeningWithTheWideSectionEndsTheFirstPage) {
    CardFixture f(
        crlf({"FFirst", "PAlpha", "C195", "L01", "GSecond", "PWide", "C52020202020", "L01"}));
    f.card.resetToBlankCard();
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    EXPECT_EQ(plan.lastFirstPageRow(), 6);
    EXPECT_EQ(plan.row(6).kind, PrintRowKind::GroupHeading);
    EXPECT_EQ(plan.row(7).kind, PrintRowKind::SectionHeading);
}

// Exact placement of what rows print, on a page 3206 wide in three layout
// columns (each 1068 wide, text width 1064).
class RowContentTest : public ::testing::Test {
protected:
    // Five groups with the notes group, so the third ("Openings") is the one
    // whose labels repeat on every row.
    RowContentTest()
        : f(crlf({"FPlayers", "PNames", "C195", "L01", "GPlay", "PLeads", "C3204040",
                  "HBid|Meaning|Notes|", "O1\x05", "A3070", "OGrid two", "GOpenings", "PBids",
                  "C3204040", "O1\x04", "GOther", "PWide", "C52020202020", "L01"})) {
        f.card.resetToBlankCard();
        // Line 2 (1 club) and line 4 (1 diamond) get three rows each.
        for (const int line : {2, 4}) {
            for (int extra = 0; extra < 2; ++extra) appendRow(line);
        }
        f.card.sections[1].rowCount = 3;
        f.card.sections[2].rowCount = 3;
    }

    void appendRow(int line) {
        Card& card = f.card;
        int last = card.lines[size_t(line)].firstRow;
        while (card.rows[size_t(last)].nextRow != 0) last = card.rows[size_t(last)].nextRow;
        RowText row;
        row.prevRow = last;
        card.rows.push_back(row);
        card.rows[size_t(last)].nextRow = static_cast<int>(card.rows.size()) - 1;
        card.lines[size_t(line)].rowCount += 1;
    }

    // The rows of one template line, in print order.
    std::vector<const PrintRow*> rowsOfLine(const CardPrintPlan& plan, int line) {
        std::vector<const PrintRow*> rows;
        for (int n = 1; n <= plan.lastRow(); ++n) {
            if (plan.row(n).line == line) rows.push_back(&plan.row(n));
        }
        return rows;
    }

    static std::vector<std::string> texts(const PrintRow& row) {
        std::vector<std::string> out;
        for (const PrintLabel& label : row.labels) out.push_back(label.text);
        return out;
    }

    CardFixture f;
};

TEST_F(RowContentTest, ColumnCellsAndTheirRules) {
    const int line = 2;
    const int row = f.card.lines[line].firstRow;
    f.card.rows[size_t(row)].text = "\tfive \x03s\tNat\t";
    f.card.rows[size_t(row)].noteNo = 12;
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    const PrintRow& printed = *rowsOfLine(plan, line).front();
    ASSERT_EQ(printed.labels.size(), 3u);
    // cx starts at 2 with cw = 1060: widths 212, 424, 424.
    const int xs[] = {6, 220, 646};
    const int widths[] = {211, 423, 423};
    for (size_t j = 0; j < 3; ++j) {
        EXPECT_EQ(printed.labels[j].x, xs[j]) << j;
        EXPECT_EQ(printed.labels[j].width, widths[j]) << j;
        EXPECT_FALSE(printed.labels[j].silver);
    }
    EXPECT_EQ(texts(printed), (std::vector<std::string>{"1}", "five ]s", "Nat Note#12"}));
    EXPECT_EQ(printed.bars, (std::vector<int>{214, 640}));

    const PrintRow& headings = plan.row(8);
    EXPECT_EQ(headings.kind, PrintRowKind::ColumnHeadings);
    EXPECT_EQ(texts(headings), (std::vector<std::string>{"Bid", "Meaning", "Notes"}));

    const PrintRow& sectionHeading = plan.row(7);
    ASSERT_EQ(sectionHeading.kind, PrintRowKind::SectionHeading);
    ASSERT_EQ(sectionHeading.labels.size(), 1u);
    EXPECT_EQ(sectionHeading.labels[0].x, 6);
    EXPECT_EQ(sectionHeading.labels[0].width, 1062);
    EXPECT_TRUE(sectionHeading.labels[0].silver);
}

TEST_F(RowContentTest, OpeningBidLabelsRepeatOnlyInTheOpeningsGroupWhenAsked) {
    struct Case {
        bool openBids;
        int line;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {true, 4, {"1{", "1{", "1{"}},
        {false, 4, {"1{", "", ""}},
        {true, 2, {"1}", "", ""}},
    };
    for (const Case& c : cases) {
        CardPrintOptions o = options(3);
        o.openBidsOnAllLines = c.openBids;
        const CardPrintPlan plan = CardPrintPlan::build(f.card, o);
        std::vector<std::string> labels;
        for (const PrintRow* row : rowsOfLine(plan, c.line)) {
            const bool labelled = !row->labels.empty() && row->labels.front().x == 6;
            labels.push_back(labelled ? row->labels.front().text : "");
        }
        EXPECT_EQ(labels, c.labels) << "line " << c.line << " open bids " << c.openBids;
    }
}

TEST_F(RowContentTest, GridTwoRowsKeepTheirLabelAsStored) {
    const int line = 3;
    const int row = f.card.lines[line].firstRow;
    f.card.lines[line].label = "Two \x06";
    f.card.rows[size_t(row)].text = "lead \x05";
    f.card.rows[size_t(row)].noteNo = 4;
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    const PrintRow& printed = *rowsOfLine(plan, line).front();
    EXPECT_EQ(printed.kind, PrintRowKind::Grid2Text);
    ASSERT_EQ(printed.labels.size(), 2u);
    EXPECT_EQ(printed.labels[0].text, "Two \x06");
    EXPECT_EQ(printed.labels[0].x, 6);
    EXPECT_EQ(printed.labels[0].width, 317);
    EXPECT_EQ(printed.labels[1].text, "lead } Note#4");
    EXPECT_EQ(printed.labels[1].x, 326);
    EXPECT_EQ(printed.labels[1].width, 741);
    EXPECT_TRUE(printed.bars.empty());
}

TEST(SuitStyles, LettersAndPictures) {
    CardFixture f(crlf({"FFirst", "PA", "C195", "L01", "PWide", "C52020202020", "L01"}));
    f.card.resetToBlankCard();
    f.card.rows[1].text = "1\x05NT";
    f.card.rows[1].noteNo = 0;

    CardPrintOptions o = options(3);
    o.suits = SuitSymbolStyle::Letters;
    EXPECT_EQ(CardPrintPlan::build(f.card, o).row(5).labels.at(0).text, "1}NT");
    o.suitChars.club = 0xA7;
    EXPECT_EQ(CardPrintPlan::build(f.card, o).row(5).labels.at(0).text, "1CNT");
    o.suitChars = SuitChars{};

    // Pictures: the club follows the "1" and the rest starts one picture
    // further on.
    o.suits = SuitSymbolStyle::Pictures;
    o.captionWidth = [](const std::string& text) { return 10 * static_cast<int>(text.size()); };
    const CardPrintPlan plan = CardPrintPlan::build(f.card, o);
    const PrintRow& row = plan.row(5);
    ASSERT_EQ(row.labels.size(), 2u);
    EXPECT_EQ(row.labels[0].text, "1");
    EXPECT_EQ(row.labels[0].x, 6);
    EXPECT_EQ(row.labels[0].width, 10);
    ASSERT_EQ(row.pictures.size(), 1u);
    EXPECT_EQ(row.pictures[0].suit, Suit::Club);
    EXPECT_EQ(row.pictures[0].x, 2 + 2 + 10);
    EXPECT_EQ(row.labels[1].text, "NT");
    EXPECT_EQ(row.labels[1].x, row.pictures[0].x + 34);
}

TEST(StandardCard, BundledTemplateRowsAreAllPlaced) {
    CardFixture f(test::readFile(std::string(ZQW_SOURCE_DIR) + "/data/zqw.sel"));
    ASSERT_TRUE(f.messages.messages.empty());
    f.card.resetToBlankCard();
    for (const int columns : {1, 2, 3}) {
        const CardPrintPlan plan = CardPrintPlan::build(f.card, options(columns));
        std::vector<int> seen;
        for (const CardPrintPage& page : plan.pages()) {
            for (const PrintBand& band : page.bands) {
                for (const PlacedRow& cell : band.cells) seen.push_back(cell.row);
            }
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(seen, range(1, plan.lastRow())) << columns;
        // The opening bids are the first wide section; their group's
        // heading closes the first page.
        EXPECT_EQ(plan.row(plan.lastFirstPageRow()).kind, PrintRowKind::GroupHeading);
        EXPECT_EQ(plan.row(plan.lastFirstPageRow()).labels.at(0).text, "Openings");
    }
}

// Ten pixels a character: easy sums.
int tenEach(const std::string& text) { return 10 * static_cast<int>(text.size()); }

TEST(FitCaption, SmallerThenShortenedAtAWordWithTheNoteWhole) {
    struct Case {
        std::string text;
        size_t tail;
        int width;
        std::string expected;
        double scale;
    };
    const std::string note = " Note#11";
    const Case cases[] = {
        {"fits", 0, 40, "fits", 1},
        // 100 pixels into 80: drawn at 80 %.
        {"ten chars!", 0, 80, "ten chars!", 0.8},
        // At the smallest size (7.5 a character) 12 characters fit in 90.
        {"weak NT 12-14 canape", 0, 90, "weak NT\x85", kSmallestCaptionScale},
        {"weak NT 12-14 canape" + note, note.size(), 160, "weak NT\x85" + note,
         kSmallestCaptionScale},
        // One long word is cut inside, and the cut shows.
        {"abcdefghijklmnop", 0, 60, "abcdefg\x85", kSmallestCaptionScale},
        // Room for the note alone: the note, smaller still if it must be.
        {"weak NT" + note, note.size(), 30, "Note#11", 30.0 / 70},
    };
    for (const Case& c : cases) {
        const FittedCaption fitted = fitCaption(c.text, c.tail, c.width, tenEach);
        EXPECT_EQ(fitted.text, c.expected) << c.text << " in " << c.width;
        EXPECT_NEAR(fitted.scale, c.scale, 1e-9) << c.text << " in " << c.width;
        EXPECT_LE(tenEach(fitted.text) * fitted.scale, c.width + 1e-9) << c.text;
    }
}

// Every label of a row stays inside the grid column it belongs to, and a
// note reference prints whole.
TEST(FitCaption, LongAnswersKeepTheirNotesAndStayInTheirColumns) {
    CardFixture f(crlf({"FFirst", "PNarrow", "C3205030", "L01", "PWide", "C52020202020", "L01",
                        "POne", "C195", "L01"}));
    f.card.resetToBlankCard();
    std::string answer;
    while (answer.size() < 200) answer += "long answer ";
    answer.resize(200);
    fillRows(f.card, answer,
             "1\x05\t" + answer + "\t" + answer + "\t" + answer + "\t" + answer + "\t", 11);
    for (const auto suits : {SuitSymbolStyle::CardFont, SuitSymbolStyle::Pictures}) {
        CardPrintOptions o = options(3);
        o.printableWidth = 1200;  // even a whole-width row is too narrow for the answer
        o.suits = suits;
        o.captionWidth = tenEach;
        const CardPrintPlan plan = CardPrintPlan::build(f.card, o);
        for (int n = 5; n <= plan.lastRow(); ++n) {
            const PrintRow& row = plan.row(n);
            if (row.kind != PrintRowKind::Text) continue;
            std::vector<int> edges = row.bars;
            edges.push_back(n <= plan.lastFirstPageRow() ? plan.firstPageColumnWidth() - 4 : 1196);
            ASSERT_FALSE(row.labels.empty()) << n;
            for (const PrintLabel& label : row.labels) {
                const int right = *std::upper_bound(edges.begin(), edges.end(), label.x);
                EXPECT_LE(label.x + tenEach(label.text) * label.scale, right)
                    << "row " << n << " " << label.text;
                EXPECT_GE(label.scale, kSmallestCaptionScale);
            }
            const std::string& last = row.labels.back().text;
            ASSERT_GE(last.size(), 8u) << n;
            EXPECT_EQ(last.substr(last.size() - 8), " Note#11") << "row " << n;
            EXPECT_NE(last.find('\x85'), std::string::npos) << "row " << n;
            for (const SuitMark& mark : row.pictures) EXPECT_LE(mark.right, edges.front() + 4);
        }
    }
}

TEST(FitCaption, ColumnsWiderThanTheRowAreFittedToIt) {
    // Three columns of 60 % each and a grid 2 of 70 % + 70 %.
    CardFixture f(crlf({"FFirst", "PA", "C3606060", "L01", "PB", "C195", "L01", "A7070", "L01",
                        "PWide", "C52020202020", "L01"}));
    f.card.resetToBlankCard();
    fillRows(f.card, "text", "a\tb\tc\t", 0);
    const CardPrintPlan plan = CardPrintPlan::build(f.card, options(3));
    const int cell = plan.firstPageColumnWidth() - 4;
    int seen = 0;
    for (int n = 5; n <= plan.lastFirstPageRow(); ++n) {
        const PrintRow& row = plan.row(n);
        if (row.kind != PrintRowKind::Text && row.kind != PrintRowKind::Grid2Text) continue;
        for (const PrintLabel& label : row.labels) {
            EXPECT_LE(label.x + label.width, cell + 4) << "row " << n << " " << label.text;
            ++seen;
        }
        for (const int bar : row.bars) EXPECT_LT(bar, cell) << "row " << n;
    }
    // a, b, c and the grid-2 text all print.
    EXPECT_GE(seen, 4);
}

TEST(ContinuedPages, BandsNeverThinnerThanTheirTextAndEveryRowOnce) {
    for (const int columns : {1, 2, 3}) {
        CardFixture f(templateWithFirstPageRows(99));
        f.card.resetToBlankCard();
        CardPrintOptions o = options(columns);
        o.minBandHeight = 150;  // 30 bands a page of 4659
        o.pageHeadingHeight = 100;
        const CardPrintPlan plan = CardPrintPlan::build(f.card, o);
        std::vector<int> firstPart;
        std::vector<int> secondPart;
        size_t firstPages = 0;
        for (const CardPrintPage& page : plan.pages()) {
            firstPages += page.part == 1;
            EXPECT_EQ(page.showsHeading, &page != &plan.pages().front()) << columns;
            // Rightmost column first, top to bottom.
            std::vector<std::vector<int>> byColumn(static_cast<size_t>(columns));
            for (const PrintBand& band : page.bands) {
                EXPECT_GE(band.height, o.minBandHeight) << columns << " columns";
                EXPECT_LE(band.top + band.height, o.headerHeight + o.usableHeight);
                if (page.showsHeading) {
                    EXPECT_GE(band.top, o.headerHeight + 100);
                }
                for (const PlacedRow& cell : band.cells) {
                    const int fromLeft = cell.x / plan.firstPageColumnWidth();
                    byColumn[size_t(columns - 1 - fromLeft)].push_back(cell.row);
                }
            }
            for (const auto& column : byColumn) {
                for (const int row : column) {
                    const PrintRowKind kind = plan.row(row).kind;
                    // Repeated headings are headings; each other row once.
                    if (kind == PrintRowKind::SectionHeading ||
                        kind == PrintRowKind::ColumnHeadings) {
                        if (row <= plan.lastFirstPageRow() && page.part == 1 &&
                            (firstPart.empty() || firstPart.back() != row - 1))
                            continue;
                        if (page.part == 2 && !secondPart.empty() && secondPart.back() != row - 1)
                            continue;
                    }
                    (page.part == 1 ? firstPart : secondPart).push_back(row);
                }
            }
        }
        EXPECT_GT(firstPages, 1u) << columns;
        EXPECT_EQ(firstPart, range(1, plan.lastFirstPageRow())) << columns;
        EXPECT_EQ(secondPart, range(plan.lastFirstPageRow() + 1, plan.lastRow())) << columns;
    }
}

TEST(ContinuedPages, AContinuedColumnRepeatsItsSectionHeadings) {
    CardFixture f(crlf({"FFirst", "PNarrow", "C195", "L10", "PTable", "C22080", "HBid|Meaning|",
                        "L40", "PWide", "C52020202020", "L01"}));
    f.card.resetToBlankCard();
    CardPrintOptions o = options(1);
    o.minBandHeight = 200;  // 22 bands a page
    const CardPrintPlan plan = CardPrintPlan::build(f.card, o);
    ASSERT_GE(plan.pages().size(), 3u);
    const CardPrintPage& second = plan.pages()[1];
    ASSERT_EQ(second.part, 1);
    ASSERT_GE(second.bands.size(), 3u);
    EXPECT_EQ(plan.row(second.bands[0].cells.at(0).row).kind, PrintRowKind::SectionHeading);
    EXPECT_EQ(plan.row(second.bands[0].cells.at(0).row).labels.at(0).text, "Table");
    EXPECT_EQ(plan.row(second.bands[1].cells.at(0).row).kind, PrintRowKind::ColumnHeadings);
    EXPECT_EQ(plan.row(second.bands[2].cells.at(0).row).kind, PrintRowKind::Text);
}

}  // namespace
}  // namespace zqw
