#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <string>
#include <utility>

class CardDocument;
class EditorSettings;

// What the grids show and store: the cells of the section the grids show,
// read from the card and written back into it. Reading never changes the
// card.
class GridCells {
public:
    GridCells(CardDocument& document, const EditorSettings& settings);

    // The section the grids show (an index into the card's sections), or -1.
    int section() const { return section_; }
    void setSection(int section) { section_ = section; }

    // The cell's text as shown: suit codes as their display characters, at
    // most 255 characters. Row 0 is the heading row.
    QString cellText(int grid, int row, int column) const;
    // Label cells are the template's; only answer cells take typing.
    bool isEditable(int grid, int row, int column) const;
    // Stores the editor's text when it differs from the cell's.
    void commitEdit(int grid, int row, int column, const QString& text);
    // The row as commitEdit would store it (its index in the card's rows
    // and its text), without storing it; nullopt when nothing would change.
    std::optional<std::pair<int, std::string>> editedRow(int grid, int row, int column,
                                                         const QString& text) const;
    // The note number of a row of a grid; 0 for none.
    int noteNumber(int grid, int row) const;
    // Dragged column widths (pixels) become the card's widths, percentages
    // of the print column width.
    void storeColumnWidths(int grid, const QList<int>& pixels, int printColumnWidth);
    // How a row of a grid is named for the user: the line label, after the
    // label column's heading ("Bid 1♣"), or the section's name.
    QString cellName(int grid, int row) const;
    // The label of the line a grid row belongs to, as the label column shows
    // it (suits as display characters), on every row of the line; empty
    // where the grid has no label column.
    QString lineLabel(int grid, int row) const;

private:
    bool applyColumnWidths(int grid, const QList<int>& pixels, int printColumnWidth);

    CardDocument& document_;
    const EditorSettings& settings_;
    int section_ = -1;
};
