#pragma once

#include <string>
#include <vector>

#include "card/card.h"
#include "card/lineops.h"
#include "card/printtext.h"

namespace zqw {

// The printed card, worked out without drawing anything: which print row
// goes on which page, in which layout column and band, and what each row
// prints where. All lengths are printer pixels; x is measured from the left
// edge of the page's printable area and y from its top.
//
// The card is flattened into numbered print rows: rows 1 to 4 are the title
// area, then group headings, section headings, column-heading rows and one
// row per row text of every shown line. The rows before the first wide
// section (one whose grid 1 has more than 4 columns) print on the first
// page in layout columns read from right to left; the rest print on the
// second page, one row across the printable width. Each page is one sheet:
// its bands share the usable height.

// Which pages a run prints.
enum class CardPages { All, FirstOnly, SecondOnly };

struct CardPrintOptions {
    int layoutColumns = 3;  // 1, 2 or 3
    int printableWidth = 0;
    // Paper height less the top and bottom margins and 2, with its fraction.
    double usableHeight = 0;
    int topMargin = 0;
    // The strip above the first band that carries the page's top rule.
    int headerHeight = 0;
    // The least height of a band that shows its text whole; 0 for none.
    // Rows that would need thinner bands continue on further pages.
    int minBandHeight = 0;
    // Height of the heading strip (card title and names) at the top of the
    // pages after the first; 0 for none.
    int pageHeadingHeight = 0;
    CardPages pages = CardPages::All;
    bool openBidsOnAllLines = true;
    SuitSymbolStyle suits = SuitSymbolStyle::CardFont;
    // The characters the card font draws as suits (the user's setting).
    SuitChars suitChars;
    // Width of a caption in the label font; needed for the Pictures style,
    // whose pictures follow the text before them.
    TextWidth captionWidth;
    // Space a suit picture takes in a caption (Pictures style), and its
    // width: a picture that would not fit inside its row is left out.
    int pictureAdvance = 34;
    int pictureWidth = 34;
    int titleWidth = 0;
    int titleHeight = 0;
    int emblemWidth = 0;
    int emblemHeight = 0;
};

enum class PrintRowKind { Title, GroupHeading, SectionHeading, ColumnHeadings, Text, Grid2Text };

// What one print row shows, with x measured from the left edge of the cell
// it is printed in.
struct PrintRow {
    PrintRowKind kind = PrintRowKind::Title;
    int group = -1;
    int section = -1;
    int line = 0;      // template line of a text row
    int rowIndex = 0;  // index in Card::rows of a text row
    std::vector<PrintLabel> labels;
    std::vector<SuitMark> pictures;
    // Rules between columns; the two rules at the cell's edges come with
    // the placement.
    std::vector<int> bars;
    // The heading rows a continued column repeats above this row: its
    // section's heading and column headings (0 where it has none).
    int sectionHeadingRow = 0;
    int columnHeadingRow = 0;
};

// A print row placed in a band: its cell starts at x and is width wide.
// Every row but a title row gets a rule at x and at x + width; a title row
// only the one at x + width.
struct PlacedRow {
    int row = 0;  // print row number, from 1
    int x = 0;
    int width = 0;
};

// One horizontal strip of a page.
struct PrintBand {
    int top = 0;
    int height = 0;
    // The rule along the band's bottom edge; none when right <= left.
    int ruleLeft = 0;
    int ruleRight = 0;
    std::vector<PlacedRow> cells;
};

struct PrintRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct CardPrintPage {
    int part = 1;  // 1: the narrow sections in layout columns; 2: the rest
    // A page that carries on its part from the page before.
    bool continued = false;
    // The heading strip with the card title and names; bands start below.
    bool showsHeading = false;
    int headingHeight = 0;
    int rowHeight = 0;
    int extraPixels = 0;
    int ruleWidth = 0;  // the page's top rule runs from 0 to here
    std::vector<PrintBand> bands;
    bool showsTitle = false;
    PrintRect title;
    PrintRect emblem;
};

struct RowHeights {
    int rowHeight = 0;
    // How many of the page's first bands are one pixel higher.
    int extraPixels = 0;
};

// Band height for a page of `bands` bands sharing the usable height with
// one band's worth of slack.
RowHeights rowHeightsFor(double usableHeight, int bands);

// The most bands a page of that height holds when none may be thinner than
// minBandHeight (at least 1).
int mostBandsFor(double usableHeight, int minBandHeight);

// The first print row of each layout column, rightmost column first, and
// how many rows each holds, for rows 1..lastRow spread over `columns`
// columns. Columns hold consecutive rows; the left columns take the rows
// left over when the count does not divide evenly, so every row appears
// once and in order.
struct ColumnRun {
    int firstRow = 0;
    int rowCount = 0;
};
std::vector<ColumnRun> layoutColumnRuns(int lastRow, int columns);

struct TitlePlacement {
    PrintRect title;
    PrintRect emblem;
};
// The card title and the emblem in the top right corner of the first page,
// over the four title rows of the rightmost layout column.
TitlePlacement placeTitle(int printableWidth, int layoutColumns, int rowHeight, int topMargin,
                          int titleWidth, int titleHeight, int emblemWidth, int emblemHeight);

class CardPrintPlan {
public:
    // Walks the card once and lays out the pages the options ask for. The
    // cost grows linearly with the card's rows.
    static CardPrintPlan build(const Card& card, const CardPrintOptions& options);

    // The last row of the first page (P) and of the card (T). A card with
    // no wide section prints everything on the first page: P equals T.
    int lastFirstPageRow() const { return lastFirstPageRow_; }
    int lastRow() const { return static_cast<int>(rows_.size()) - 1; }
    const PrintRow& row(int number) const { return rows_.at(static_cast<size_t>(number)); }
    const std::vector<CardPrintPage>& pages() const { return pages_; }
    // Width of one layout column on the first page.
    int firstPageColumnWidth() const { return columnWidth_; }
    // The suit characters the answers were printed with.
    const SuitChars& suitChars() const { return suitChars_; }

private:
    std::vector<PrintRow> rows_;  // index 0 unused, so a row's index is its number
    std::vector<CardPrintPage> pages_;
    int lastFirstPageRow_ = 0;
    int columnWidth_ = 0;
    SuitChars suitChars_;
};

}  // namespace zqw
