#pragma once

// Where each kind of index counts from. Every layer uses the base written
// here for its kind; the few places that turn one kind into another use the
// helpers below, so a "+ 1" in the code is never a change of kind in
// disguise.
//
// Records of the card (Card::lines, rows, auctions, columns, cellInfos,
//   prompts): from 1. Entry 0 is a placeholder, so index 0 means "none" and
//   RowRef::row 0 is no row.
// Groups, sections, top and right tabs: from 0 (Card::sectionIndexOf gives
//   -1 for none). A tab shown to the user, or a menu item choosing one, is
//   numbered from 1.
// Grid rows: from 1, the section's rows in chain order (Card::findGridRow);
//   row 0 is the heading row, which only grid 1 of a section with headings
//   has. Every view, command and the GridCells speak grid rows.
// Grid columns: from 0; column 0 is the label column where the grid has one
//   (grid 2 always, grid 1 with two or more columns).
// Fields of a row text (Card::field, fieldOf, withField): from 1; field n
//   is shown in grid column n - 1.
// Table rows of a grid's Qt model (QModelIndex::row, the view's own rowAt):
//   from 0. The heading row is the table's header, not a table row, so table
//   row 0 is grid row 1. Only the grid's model and view convert.
// Notes lines (paragraphs): from 1 (the notes editor's caret, note tabs,
//   checks, comparisons, the print selection). The caret's column in a line
//   counts from 1 too, but the print selection's columns count from 0 (a
//   character offset). The text document's blocks, and offsets in a block,
//   count from 0; only the notes editor and the code reading its document
//   convert.
// TemplateLine::cellInfoIndex and CellInfo::firstPrompt: one past the index
//   of the line's first cell info (grid column 0's) in Card::cellInfos, and
//   of the cell's first prompt in Card::prompts, as the template reader
//   counted them.

namespace zqw {

inline constexpr int fieldOfColumn(int gridColumn) { return gridColumn + 1; }
inline constexpr int columnOfField(int field) { return field - 1; }

inline constexpr int gridRowOfTableRow(int tableRow) { return tableRow + 1; }
inline constexpr int tableRowOfGridRow(int gridRow) { return gridRow - 1; }

inline constexpr int notesLineOfBlock(int blockNumber) { return blockNumber + 1; }
inline constexpr int blockOfNotesLine(int line) { return line - 1; }
inline constexpr int notesColumnOfOffset(int offsetInBlock) { return offsetInBlock + 1; }
inline constexpr int offsetOfNotesColumn(int column) { return column - 1; }

// The index in Card::prompts of a cell's prompt k (from 0).
inline constexpr int promptIndex(int firstPrompt, int k) { return firstPrompt - 1 + k; }
// The index in Card::cellInfos of a line's cell info for grid column c.
inline constexpr long cellInfoPosition(int cellInfoIndex, int gridColumn) {
    return static_cast<long>(cellInfoIndex) - 1 + gridColumn;
}

}  // namespace zqw
