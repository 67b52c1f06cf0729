#pragma once

#include <functional>
#include <string>
#include <vector>

#include "card/card.h"

namespace zqw {

// The line commands of the Edit menu, on the row chains of one grid of one
// section. Rows are named as the grid counts them (1 is the grid's first
// shown row). Every command keeps the chains whole: each line's rows run
// from firstRow through nextRow, the first with prevRow 0 and the last with
// nextRow 0, and a grid's row count stays the sum of its lines' rowCount.
// A line with rowCount 0 is hidden and keeps its last row as firstRow.

// How a line command ended; only Done changed the card (and set
// isModified).
enum class LineResult {
    Done,
    // No such grid in the section, or no such row in the grid.
    NoRow,
    // Insert before the grid's first row; reported to the user.
    FirstLineOfGrid,
    // Delete the only row the grid shows; reported to the user.
    OnlyRow,
    // Replicate down from a label cell, which shows no field of the row.
    LabelColumn,
};

// The width in pixels of a field's text as the grid shows it.
using TextWidth = std::function<int(const std::string&)>;

struct SplitText {
    std::string head;
    std::string rest;
};

// Cuts a text that is too wide for its column after a space, so the head
// fits the column. The head keeps at least the first word (and its space),
// however wide. A column of no width keeps the whole text in the head.
SplitText splitRowAtWidth(const std::string& text, int columnWidth, const TextWidth& widthOf);

// Inserts an empty row before the given row. On the first row of a line the
// row goes to the end of the line above, or, when that line is hidden, its
// kept row shows again with its old text and note number.
LineResult insertRowBefore(Card& card, int section, int grid, int rowNumber);

// Unlinks the row from its line; a line's only row stays kept and the line
// is hidden. The grid's last shown row is never deleted.
LineResult deleteRow(Card& card, int section, int grid, int rowNumber);

// Splits every field of the row at its column's width (columnWidths are the
// grid's column widths in pixels, by grid column) and puts what does not fit
// into a new row after it. A single-row line whose next line in the same
// grid is hidden gives the new row to that line instead, dropping its kept
// row.
LineResult insertRowAfter(Card& card, int section, int grid, int rowNumber,
                          const std::vector<int>& columnWidths, const TextWidth& widthOf);

// Copies the field of the given grid column of the row into the same field
// of every later row of the grid, hidden lines' kept rows included.
LineResult replicateDown(Card& card, int section, int grid, int rowNumber, int column);

}  // namespace zqw
