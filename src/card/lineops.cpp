#include "lineops.h"

#include <optional>

namespace zqw {

namespace {

// The lines of one grid of a section and the row count the grid shows.
struct GridLines {
    int first = 0;
    int count = 0;
    int* shownRows = nullptr;

    bool holds(int line) const { return line >= first && line < first + count; }
};

std::optional<GridLines> gridLines(Card& card, int section, int grid) {
    if (section < 0 || section >= static_cast<int>(card.Sections.size())) return std::nullopt;
    AForm& form = card.Sections[section];
    GridLines lines;
    if (grid == 1 && form.ColumnCount != 0) {
        lines = {form.FirstLine, form.LineCount, &form.RowCount};
    } else if (grid == 2 && form.HasGrid2) {
        lines = {form.FirstLine2, form.LineCount2, &form.RowCount2};
    } else {
        return std::nullopt;
    }
    if (lines.first <= 0 || lines.first + lines.count > static_cast<int>(card.Lines.size()))
        return std::nullopt;
    return lines;
}

bool isRow(const Card& card, int row) {
    return row > 0 && row < static_cast<int>(card.RowTexts.size());
}

// The row the grid shows as rowNumber, and its line; sets CurSection,
// CurLine and CurRow for the field helpers.
struct FoundRow {
    int row = 0;
    int line = 0;
};

std::optional<FoundRow> findGridRow(Card& card, int section, const GridLines& lines,
                                    int rowNumber) {
    if (rowNumber < 1 || rowNumber > *lines.shownRows) return std::nullopt;
    card.CurSection = section;
    int line = lines.first;
    const int row = card.FindRow(rowNumber, line);
    if (!isRow(card, row) || !lines.holds(line)) return std::nullopt;
    return FoundRow{row, line};
}

int appendEmptyRow(Card& card) {
    card.RowTexts.emplace_back();
    return static_cast<int>(card.RowTexts.size()) - 1;
}

// The last row of a line's chain. The walk is bounded so that a chain that
// loops cannot hang the editor.
int lastRowOf(const Card& card, int line) {
    int row = card.Lines[line].FirstRow;
    for (size_t guard = 0; isRow(card, row) && guard < card.RowTexts.size(); ++guard) {
        const int next = card.RowTexts[row].NextRow;
        if (!isRow(card, next)) break;
        row = next;
    }
    return row;
}

// Calls visit for a chain's rows from `row` on, following NextRow.
template <typename Visit>
void forChain(const Card& card, int row, Visit visit) {
    for (size_t guard = 0; isRow(card, row) && guard < card.RowTexts.size(); ++guard) {
        const int next = card.RowTexts[row].NextRow;
        visit(row);
        row = next;
    }
}

bool isLabelColumn(const AForm& form, int grid, int column) {
    return column == 0 && (grid == 2 || form.ColumnCount >= 2);
}

}  // namespace

SplitText SplitRowAtWidth(const std::string& text, int columnWidth, const TextWidth& widthOf) {
    // A column squeezed to nothing has no width to split at; the text stays
    // whole rather than being scattered over rows.
    if (columnWidth <= 0) return {text, {}};
    SplitText kept{{}, text};
    size_t taken = 0;
    bool first = true;
    while (taken < text.size() || first) {
        const size_t space = text.find(' ', taken);
        const size_t end = space == std::string::npos ? text.size() : space + 1;
        const std::string head = text.substr(0, end);
        const int width = widthOf(head);
        if (first || width < columnWidth) kept = {head, text.substr(end)};
        first = false;
        taken = end;
        if (width >= columnWidth) break;
    }
    return kept;
}

LineResult InsertRowBefore(Card& card, int section, int grid, int rowNumber) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    const auto found = findGridRow(card, section, *lines, rowNumber);
    if (!found) return LineResult::NoRow;
    const int R = found->row;
    const int L = found->line;

    int target = L;
    const int previous = card.RowTexts[R].PrevRow;
    if (isRow(card, previous)) {
        const int added = appendEmptyRow(card);
        card.RowTexts[added].PrevRow = previous;
        card.RowTexts[added].NextRow = R;
        card.RowTexts[previous].NextRow = added;
        card.RowTexts[R].PrevRow = added;
    } else if (L == lines->first) {
        card.Messages().showMessage("Cannot insert a line before the first line of the section");
        return LineResult::FirstLineOfGrid;
    } else {
        target = L - 1;
        Aline& above = card.Lines[target];
        if (above.RowCount == 0 && isRow(card, above.FirstRow)) {
            // The kept row shows again as the line's only row.
            card.RowTexts[above.FirstRow].PrevRow = 0;
            card.RowTexts[above.FirstRow].NextRow = 0;
        } else if (above.RowCount == 0) {
            above.FirstRow = appendEmptyRow(card);
        } else {
            const int last = lastRowOf(card, target);
            const int added = appendEmptyRow(card);
            card.RowTexts[added].PrevRow = last;
            card.RowTexts[last].NextRow = added;
        }
    }
    card.Lines[target].RowCount += 1;
    *lines->shownRows += 1;
    card.CardChanged = true;
    return LineResult::Done;
}

LineResult DeleteRow(Card& card, int section, int grid, int rowNumber) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    if (*lines->shownRows == 1) {
        card.Messages().showMessage("Each section must have one line");
        return LineResult::OnlyRow;
    }
    const auto found = findGridRow(card, section, *lines, rowNumber);
    if (!found) return LineResult::NoRow;
    const int R = found->row;
    Aline& line = card.Lines[found->line];

    if (line.RowCount > 1) {
        AText& row = card.RowTexts[R];
        const int previous = row.PrevRow;
        const int next = row.NextRow;
        if (isRow(card, previous)) card.RowTexts[previous].NextRow = isRow(card, next) ? next : 0;
        if (isRow(card, next)) card.RowTexts[next].PrevRow = isRow(card, previous) ? previous : 0;
        if (line.FirstRow == R) line.FirstRow = next;
        row.PrevRow = 0;
        row.NextRow = 0;
    }
    // A line's only row stays as its kept row: the line is hidden.
    line.RowCount -= 1;
    *lines->shownRows -= 1;
    card.CardChanged = true;
    return LineResult::Done;
}

LineResult InsertRowAfter(Card& card, int section, int grid, int rowNumber,
                          const std::vector<int>& columnWidths, const TextWidth& widthOf) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    const auto found = findGridRow(card, section, *lines, rowNumber);
    if (!found) return LineResult::NoRow;
    const int R = found->row;
    const int L = found->line;

    // Field n of grid 1 is shown in grid column n - 1; grid 2 has its one
    // text in column 1.
    struct Field {
        int number;
        int column;
    };
    std::vector<Field> fields;
    if (grid == 1) {
        for (int n = 1; n <= card.Sections[section].ColumnCount; ++n) fields.push_back({n, n - 1});
    } else {
        fields.push_back({2, 1});
    }

    std::vector<std::string> moved;
    for (const Field& field : fields) {
        const std::string text = card.GetField(grid, field.number);
        const int columnWidth =
            field.column < static_cast<int>(columnWidths.size()) ? columnWidths[field.column] : 0;
        if (widthOf(text) <= columnWidth) {
            card.PutField(grid, field.number, text);
            moved.emplace_back();
        } else {
            SplitText split = SplitRowAtWidth(text, columnWidth, widthOf);
            card.PutField(grid, field.number, split.head);
            moved.push_back(std::move(split.rest));
        }
    }

    const bool intoHiddenNext =
        card.Lines[L].RowCount == 1 && lines->holds(L + 1) && card.Lines[L + 1].RowCount == 0;
    const int added = appendEmptyRow(card);
    if (intoHiddenNext) {
        card.Lines[L + 1].FirstRow = added;
        card.Lines[L + 1].RowCount += 1;
    } else {
        const int next = card.RowTexts[R].NextRow;
        card.RowTexts[added].PrevRow = R;
        card.RowTexts[added].NextRow = isRow(card, next) ? next : 0;
        if (isRow(card, next)) card.RowTexts[next].PrevRow = added;
        card.RowTexts[R].NextRow = added;
        card.Lines[L].RowCount += 1;
    }

    card.CurRow = added;
    for (size_t i = 0; i < fields.size(); ++i) card.PutField(grid, fields[i].number, moved[i]);
    *lines->shownRows += 1;
    card.CardChanged = true;
    return LineResult::Done;
}

LineResult ReplicateDown(Card& card, int section, int grid, int rowNumber, int column) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    // A label cell shows the line's label, not a field: copying the row's
    // unseen field from there would overwrite rows with text nobody saw.
    if (column < 0 || isLabelColumn(card.Sections[section], grid, column))
        return LineResult::LabelColumn;
    const auto found = findGridRow(card, section, *lines, rowNumber);
    if (!found) return LineResult::NoRow;
    const int R = found->row;
    const int L = found->line;
    const int field = column + 1;
    const std::string value = card.GetField(grid, field);

    const auto write = [&](int row) {
        card.CurRow = row;
        card.PutField(grid, field, value);
    };
    forChain(card, card.RowTexts[R].NextRow, write);
    for (int line = L + 1; lines->holds(line); ++line)
        forChain(card, card.Lines[line].FirstRow, write);

    card.CurLine = L;
    card.CurRow = R;
    card.CardChanged = true;
    return LineResult::Done;
}

}  // namespace zqw
