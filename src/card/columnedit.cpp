#include "columnedit.h"

namespace zqw {

namespace {

int& gridRowCount(AForm& form, int grid) { return grid == 1 ? form.RowCount : form.RowCount2; }

bool validRow(const Card& card, int row) { return row > 0 && row < static_cast<int>(card.RowTexts.size()); }

// A row text is a line of the card file and its fields are TAB-ended: a
// pasted TAB or line break would shift the row's other columns or split the
// record, so they are stored as spaces.
std::string storableText(std::string text, const Card& card) {
    card.SymbolsToCodes(text);
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

}  // namespace

std::optional<ColumnEditRange> ColumnEditRangeAt(Card& card, int section, int grid, int activeRow,
                                                 int activeColumn) {
    if (section < 0 || section >= static_cast<int>(card.Sections.size()) || (grid != 1 && grid != 2)) {
        return std::nullopt;
    }
    const AForm& form = card.Sections[section];
    const int columns = grid == 1 ? form.ColumnCount : (form.HasGrid2 ? 2 : 0);
    const int rows = grid == 1 ? form.RowCount : form.RowCount2;
    if (columns == 0 || activeRow < 1 || activeRow > rows || activeColumn < 0 || activeColumn >= columns) {
        return std::nullopt;
    }
    ColumnEditRange range;
    range.Section = section;
    range.Grid = grid;
    range.Column = activeColumn;
    // Column 0 holds the line labels everywhere but in a single-column grid 1.
    if (range.Column == 0 && (grid == 2 || form.ColumnCount != 1)) range.Column = 1;
    card.CurSection = section;
    int line = grid == 1 ? form.FirstLine : form.FirstLine2;
    if (card.FindRow(activeRow, line) == 0) return std::nullopt;
    range.ActiveLine = card.CurLine;
    range.WholeSection = grid == 1 && form.ColumnCount == 1;
    range.FirstLine = range.WholeSection ? form.FirstLine : range.ActiveLine;
    return range;
}

int RangeRowCount(const Card& card, const ColumnEditRange& range) {
    if (range.WholeSection) return card.Sections.at(range.Section).RowCount;
    return card.Lines.at(range.FirstLine).RowCount;
}

std::vector<std::string> ReadColumn(Card& card, const ColumnEditRange& range) {
    std::vector<std::string> texts;
    card.CurSection = range.Section;
    const int count = RangeRowCount(card, range);
    for (int r = 1; r <= count; ++r) {
        int line = range.FirstLine;
        if (card.FindRow(r, line) == 0) break;
        std::string text = card.GetField(range.Grid, range.Column + 1);
        card.CodesToSymbols(text);
        texts.push_back(std::move(text));
    }
    return texts;
}

int AppendRangeRow(Card& card, const ColumnEditRange& range) {
    card.CurSection = range.Section;
    AForm& form = card.Sections.at(range.Section);
    const int count = RangeRowCount(card, range);
    int last = 0;
    int lineIndex = range.FirstLine;
    if (count > 0) {
        last = card.FindRow(count, lineIndex);
        if (last == 0) return 0;
        lineIndex = card.CurLine;
    }
    int receiving = lineIndex;
    const int sectionEnd = form.FirstLine + form.LineCount;
    if (range.WholeSection && card.Lines[lineIndex].RowCount == 1 && lineIndex + 1 < sectionEnd &&
        card.Lines[lineIndex + 1].RowCount == 0) {
        receiving = lineIndex + 1;
    }

    const int added = static_cast<int>(card.RowTexts.size());
    AText row;
    if (receiving == lineIndex && validRow(card, last)) {
        row.PrevRow = last;
        row.NextRow = card.RowTexts[last].NextRow;
        card.RowTexts.push_back(row);
        card.RowTexts[last].NextRow = added;
        if (validRow(card, row.NextRow)) card.RowTexts[row.NextRow].PrevRow = added;
    } else {
        // A line without rows starts a chain of its own; linking the row
        // behind another line's last row would let a later removal from
        // that line reach into this one.
        card.RowTexts.push_back(row);
    }
    Aline& line = card.Lines[receiving];
    line.RowCount += 1;
    if (line.RowCount == 1) line.FirstRow = added;
    gridRowCount(form, range.Grid) += 1;
    card.CurLine = receiving;
    card.CurRow = added;
    return added;
}

void RemoveRangeRow(Card& card, const ColumnEditRange& range, int rowNumber) {
    card.CurSection = range.Section;
    int lineIndex = range.FirstLine;
    const int row = card.FindRow(rowNumber, lineIndex);
    if (row == 0) return;
    Aline& line = card.Lines[card.CurLine];
    if (line.RowCount != 1) {
        const int prev = card.RowTexts[row].PrevRow;
        const int next = card.RowTexts[row].NextRow;
        // The line's own first row is known by the line, not by a missing
        // predecessor: rows added to an emptied line may still point back.
        if (line.FirstRow == row) {
            line.FirstRow = next;
            if (validRow(card, next)) card.RowTexts[next].PrevRow = 0;
        } else {
            if (validRow(card, prev)) card.RowTexts[prev].NextRow = next;
            if (validRow(card, next)) card.RowTexts[next].PrevRow = prev;
        }
    }
    line.RowCount -= 1;
    gridRowCount(card.Sections[range.Section], range.Grid) -= 1;
}

void WriteColumn(Card& card, const ColumnEditRange& range, const std::vector<std::string>& lines) {
    card.CurSection = range.Section;
    const int wanted = static_cast<int>(lines.size());
    const int sectionRows = gridRowCount(card.Sections.at(range.Section), range.Grid);
    const int before = RangeRowCount(card, range);
    // Removing every row of a grid would leave nothing to click on.
    const bool keepOne = wanted == 0 && before > 0 && before >= sectionRows;

    for (int k = 1; k <= wanted; ++k) {
        if (RangeRowCount(card, range) >= k) {
            int line = range.FirstLine;
            if (card.FindRow(k, line) == 0) return;
        } else if (AppendRangeRow(card, range) == 0) {
            return;
        }
        card.PutField(range.Grid, range.Column + 1, storableText(lines[static_cast<size_t>(k) - 1], card));
    }

    const int target = keepOne ? 1 : wanted;
    while (RangeRowCount(card, range) > target) {
        const int count = RangeRowCount(card, range);
        RemoveRangeRow(card, range, target + 1);
        if (RangeRowCount(card, range) == count) return;
    }
    if (keepOne) {
        int line = range.FirstLine;
        const int row = card.FindRow(1, line);
        if (row == 0) return;
        card.RowTexts[row].Text.clear();
        card.RowTexts[row].NoteNo = 0;
    }
}

}  // namespace zqw
