#include "card/columnedit.h"

#include "card/cardindex.h"

namespace zqw {

namespace {

int& gridRowCount(Section& form, int grid) { return grid == 1 ? form.rowCount : form.rowCount2; }

bool validRow(const Card& card, int row) {
    return row > 0 && row < static_cast<int>(card.rows.size());
}

// A row text is a line of the card file and its fields are TAB-ended: a
// pasted TAB or line break would shift the row's other columns or split the
// record, so they are stored as spaces.
std::string storableText(std::string text, const SuitChars& chars) {
    displayToCodes(text, chars);
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

std::optional<ColumnEditRange> columnEditRangeAt(Card& card, int section, int grid, int activeRow,
                                                 int activeColumn) {
    if (section < 0 || section >= static_cast<int>(card.sections.size()) ||
        (grid != 1 && grid != 2)) {
        return std::nullopt;
    }
    const Section& form = card.sections[section];
    const int columns = grid == 1 ? form.columnCount : (form.hasGrid2 ? 2 : 0);
    const int rows = grid == 1 ? form.rowCount : form.rowCount2;
    if (columns == 0 || activeRow < 1 || activeRow > rows || activeColumn < 0 ||
        activeColumn >= columns) {
        return std::nullopt;
    }
    ColumnEditRange range;
    range.section = section;
    range.grid = grid;
    range.column = activeColumn;
    // Column 0 holds the line labels everywhere but in a single-column grid 1.
    if (range.column == 0 && (grid == 2 || form.columnCount != 1)) range.column = 1;
    const RowRef active = card.findGridRow(section, grid, activeRow);
    if (!active) return std::nullopt;
    range.activeLine = active.line;
    range.wholeSection = grid == 1 && form.columnCount == 1;
    range.firstLine = range.wholeSection ? form.firstLine : range.activeLine;
    return range;
}

int rangeRowCount(const Card& card, const ColumnEditRange& range) {
    if (range.wholeSection) return card.sections.at(range.section).rowCount;
    return card.lines.at(range.firstLine).rowCount;
}

std::vector<std::string> readColumn(Card& card, const ColumnEditRange& range,
                                    const SuitChars& chars) {
    std::vector<std::string> texts;
    const int count = rangeRowCount(card, range);
    for (int r = 1; r <= count; ++r) {
        const RowRef ref = card.findRow(range.section, range.firstLine, r);
        if (!ref) break;
        std::string text = card.field(ref, range.grid, fieldOfColumn(range.column));
        codesToDisplay(text, chars);
        texts.push_back(std::move(text));
    }
    return texts;
}

RowRef appendRangeRow(Card& card, const ColumnEditRange& range) {
    Section& form = card.sections.at(range.section);
    const int count = rangeRowCount(card, range);
    int last = 0;
    int lineIndex = range.firstLine;
    if (count > 0) {
        const RowRef lastRef = card.findRow(range.section, range.firstLine, count);
        if (!lastRef) return {};
        last = lastRef.row;
        lineIndex = lastRef.line;
    }
    int receiving = lineIndex;
    const int sectionEnd = form.firstLine + form.lineCount;
    if (range.wholeSection && card.lines[lineIndex].rowCount == 1 && lineIndex + 1 < sectionEnd &&
        card.lines[lineIndex + 1].rowCount == 0) {
        receiving = lineIndex + 1;
    }

    const int added = static_cast<int>(card.rows.size());
    RowText row;
    if (receiving == lineIndex && validRow(card, last)) {
        row.prevRow = last;
        row.nextRow = card.rows[last].nextRow;
        card.rows.push_back(row);
        card.rows[last].nextRow = added;
        if (validRow(card, row.nextRow)) card.rows[row.nextRow].prevRow = added;
    } else {
        // A line without rows starts a chain of its own; linking the row
        // behind another line's last row would let a later removal from
        // that line reach into this one.
        card.rows.push_back(row);
    }
    TemplateLine& line = card.lines[receiving];
    line.rowCount += 1;
    if (line.rowCount == 1) line.firstRow = added;
    gridRowCount(form, range.grid) += 1;
    return RowRef{range.section, receiving, added};
}

void removeRangeRow(Card& card, const ColumnEditRange& range, int rowNumber) {
    // Counting past the range would reach rows of the lines after it, even
    // of a later section.
    if (rowNumber < 1 || rowNumber > rangeRowCount(card, range)) return;
    const RowRef ref = card.findRow(range.section, range.firstLine, rowNumber);
    if (!ref) return;
    const int row = ref.row;
    TemplateLine& line = card.lines[ref.line];
    if (line.rowCount != 1) {
        const int prev = card.rows[row].prevRow;
        const int next = card.rows[row].nextRow;
        // The line's own first row is known by the line, not by a missing
        // predecessor: rows added to an emptied line may still point back.
        if (line.firstRow == row) {
            line.firstRow = next;
            if (validRow(card, next)) card.rows[next].prevRow = 0;
        } else {
            if (validRow(card, prev)) card.rows[prev].nextRow = next;
            if (validRow(card, next)) card.rows[next].prevRow = prev;
        }
    }
    line.rowCount -= 1;
    gridRowCount(card.sections[range.section], range.grid) -= 1;
}

void writeColumn(Card& card, const ColumnEditRange& range, const std::vector<std::string>& lines,
                 const SuitChars& chars) {
    const int wanted = static_cast<int>(lines.size());
    const int sectionRows = gridRowCount(card.sections.at(range.section), range.grid);
    const int before = rangeRowCount(card, range);
    // Removing every row of a grid would leave nothing to click on.
    const bool keepOne = wanted == 0 && before > 0 && before >= sectionRows;

    for (int k = 1; k <= wanted; ++k) {
        const RowRef ref = rangeRowCount(card, range) >= k
                               ? card.findRow(range.section, range.firstLine, k)
                               : appendRangeRow(card, range);
        if (!ref) return;
        card.setField(ref, range.grid, fieldOfColumn(range.column),
                      storableText(lines[static_cast<size_t>(k) - 1], chars));
    }

    const int target = keepOne ? 1 : wanted;
    while (rangeRowCount(card, range) > target) {
        const int count = rangeRowCount(card, range);
        removeRangeRow(card, range, target + 1);
        if (rangeRowCount(card, range) == count) return;
    }
    if (keepOne) {
        const RowRef ref = card.findRow(range.section, range.firstLine, 1);
        if (!ref) return;
        card.rows[ref.row].text.clear();
        card.rows[ref.row].noteNo = 0;
    }
}

}  // namespace zqw
