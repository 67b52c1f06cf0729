#pragma once

#include <optional>
#include <string>
#include <vector>

#include "card/card.h"

namespace zqw {

// The rows of one grid column that the column edit shows as lines of text:
// every row of a single-column section's grid 1, or else the rows of the
// one line that holds the active row.
struct ColumnEditRange {
    int section = 0;
    int grid = 1;
    // Grid column edited; field column + 1 of each row.
    int column = 0;
    bool wholeSection = false;
    // The line the range's rows are counted from.
    int firstLine = 0;
    // The line holding the active row, whose prompts the edit offers.
    int activeLine = 0;
};

// The range for the active cell (grid row from 1, grid column from 0) of a
// section's grid. The label column of a multi-column section stands for
// column 1. Nothing when the cell is no row of the grid.
std::optional<ColumnEditRange> columnEditRangeAt(Card& card, int section, int grid, int activeRow,
                                                 int activeColumn);

// Rows the range has now; appending and removing change it.
int rangeRowCount(const Card& card, const ColumnEditRange& range);

// The edited column of every row of the range, in order, suit codes shown
// as their display characters (chars: the user's suit characters).
std::vector<std::string> readColumn(Card& card, const ColumnEditRange& range,
                                    const SuitChars& chars);

// Stores line k into row k of the range (display characters become suit
// codes again; the row's other columns stay). Lines beyond the range's rows
// become new rows, empty in their other columns; rows beyond the lines are
// removed. A grid never loses its last row: when every row would go, the
// range's first row stays, emptied.
void writeColumn(Card& card, const ColumnEditRange& range, const std::vector<std::string>& lines,
                 const SuitChars& chars);

// Appends an empty row after the range's last row. In a whole section, a
// line left without rows takes the new row when the line before it holds
// exactly one. Returns the new row, or no row when the range's chain is
// broken.
RowRef appendRangeRow(Card& card, const ColumnEditRange& range);

// Takes row n (from 1) of the range out of its line; a number outside the
// range changes nothing. The record stays in Card::rows; a line's only row
// also stays as its firstRow, the line then counting no rows (hidden).
void removeRangeRow(Card& card, const ColumnEditRange& range, int rowNumber);

}  // namespace zqw
