#include "card/lineops.h"

#include <optional>

#include "card/cardindex.h"

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
    if (section < 0 || section >= static_cast<int>(card.sections.size())) return std::nullopt;
    Section& form = card.sections[section];
    GridLines lines;
    if (grid == 1 && form.columnCount != 0) {
        lines = {form.firstLine, form.lineCount, &form.rowCount};
    } else if (grid == 2 && form.hasGrid2) {
        lines = {form.firstLine2, form.lineCount2, &form.rowCount2};
    } else {
        return std::nullopt;
    }
    if (lines.first <= 0 || lines.first + lines.count > static_cast<int>(card.lines.size()))
        return std::nullopt;
    return lines;
}

bool isRow(const Card& card, int row) {
    return row > 0 && row < static_cast<int>(card.rows.size());
}

// The row the grid shows as rowNumber, with its line.
std::optional<RowRef> gridRowAt(const Card& card, int section, const GridLines& lines,
                                int rowNumber) {
    if (rowNumber < 1 || rowNumber > *lines.shownRows) return std::nullopt;
    const RowRef ref = card.findRow(section, lines.first, rowNumber);
    if (!isRow(card, ref.row) || !lines.holds(ref.line)) return std::nullopt;
    return ref;
}

// Where the grid's row rowNumber stands in its own line's chain (from 0).
int positionInLine(const Card& card, const GridLines& lines, int line, int rowNumber) {
    int before = 0;
    for (int l = lines.first; l < line; ++l) before += card.lines[l].rowCount;
    return rowNumber - 1 - before;
}

int appendEmptyRow(Card& card) {
    card.rows.emplace_back();
    return static_cast<int>(card.rows.size()) - 1;
}

// The last row of a line's chain. The walk is bounded so that a chain that
// loops cannot hang the editor.
int lastRowOf(const Card& card, int line) {
    int row = card.lines[line].firstRow;
    for (size_t guard = 0; isRow(card, row) && guard < card.rows.size(); ++guard) {
        const int next = card.rows[row].nextRow;
        if (!isRow(card, next)) break;
        row = next;
    }
    return row;
}

// Calls visit for a chain's rows from `row` on, following NextRow.
template <typename Visit>
void forChain(const Card& card, int row, Visit visit) {
    for (size_t guard = 0; isRow(card, row) && guard < card.rows.size(); ++guard) {
        const int next = card.rows[row].nextRow;
        visit(row);
        row = next;
    }
}

bool isLabelColumn(const Section& form, int grid, int column) {
    return column == 0 && (grid == 2 || form.columnCount >= 2);
}

}  // namespace

SplitText splitRowAtWidth(const std::string& text, int columnWidth, const TextWidth& widthOf) {
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

LineResult insertRowBefore(Card& card, int section, int grid, int rowNumber) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    const auto found = gridRowAt(card, section, *lines, rowNumber);
    if (!found) return LineResult::NoRow;
    const int R = found->row;
    const int L = found->line;

    int target = L;
    int position = positionInLine(card, *lines, L, rowNumber);
    int inserted = 0;
    const int previous = card.rows[R].prevRow;
    if (isRow(card, previous)) {
        const int added = appendEmptyRow(card);
        card.rows[added].prevRow = previous;
        card.rows[added].nextRow = R;
        card.rows[previous].nextRow = added;
        card.rows[R].prevRow = added;
        inserted = added;
    } else if (L == lines->first) {
        card.messages().showMessage("Cannot insert a line before the first line of the section");
        return LineResult::FirstLineOfGrid;
    } else {
        target = L - 1;
        TemplateLine& above = card.lines[target];
        position = above.rowCount;
        if (above.rowCount == 0 && isRow(card, above.firstRow)) {
            // The kept row shows again as the line's only row.
            card.rows[above.firstRow].prevRow = 0;
            card.rows[above.firstRow].nextRow = 0;
            inserted = above.firstRow;
        } else if (above.rowCount == 0) {
            above.firstRow = appendEmptyRow(card);
            inserted = above.firstRow;
        } else {
            const int last = lastRowOf(card, target);
            const int added = appendEmptyRow(card);
            card.rows[added].prevRow = last;
            card.rows[last].nextRow = added;
            inserted = added;
        }
    }
    card.lines[target].rowCount += 1;
    card.rowInserted(target, position, inserted);
    *lines->shownRows += 1;
    card.isModified = true;
    return LineResult::Done;
}

LineResult deleteRow(Card& card, int section, int grid, int rowNumber) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    if (*lines->shownRows == 1) {
        card.messages().showMessage("Each section must have one line");
        return LineResult::OnlyRow;
    }
    const auto found = gridRowAt(card, section, *lines, rowNumber);
    if (!found) return LineResult::NoRow;
    const int R = found->row;
    TemplateLine& line = card.lines[found->line];
    const int position = positionInLine(card, *lines, found->line, rowNumber);

    if (line.rowCount > 1) {
        RowText& row = card.rows[R];
        const int previous = row.prevRow;
        const int next = row.nextRow;
        if (isRow(card, previous)) card.rows[previous].nextRow = isRow(card, next) ? next : 0;
        if (isRow(card, next)) card.rows[next].prevRow = isRow(card, previous) ? previous : 0;
        if (line.firstRow == R) line.firstRow = next;
        row.prevRow = 0;
        row.nextRow = 0;
    }
    // A line's only row stays as its kept row: the line is hidden.
    line.rowCount -= 1;
    card.rowRemoved(found->line, position);
    *lines->shownRows -= 1;
    card.isModified = true;
    return LineResult::Done;
}

LineResult insertRowAfter(Card& card, int section, int grid, int rowNumber,
                          const std::vector<int>& columnWidths, const TextWidth& widthOf) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    const auto found = gridRowAt(card, section, *lines, rowNumber);
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
        for (int n = 1; n <= card.sections[section].columnCount; ++n)
            fields.push_back({n, columnOfField(n)});
    } else {
        fields.push_back({2, 1});
    }

    std::vector<std::string> moved;
    for (const Field& field : fields) {
        const std::string text = card.field(*found, grid, field.number);
        const int columnWidth =
            field.column < static_cast<int>(columnWidths.size()) ? columnWidths[field.column] : 0;
        if (widthOf(text) <= columnWidth) {
            card.setField(*found, grid, field.number, text);
            moved.emplace_back();
        } else {
            SplitText split = splitRowAtWidth(text, columnWidth, widthOf);
            card.setField(*found, grid, field.number, split.head);
            moved.push_back(std::move(split.rest));
        }
    }

    const bool intoHiddenNext =
        card.lines[L].rowCount == 1 && lines->holds(L + 1) && card.lines[L + 1].rowCount == 0;
    const int position = positionInLine(card, *lines, L, rowNumber);
    const int added = appendEmptyRow(card);
    if (intoHiddenNext) {
        card.lines[L + 1].firstRow = added;
        card.lines[L + 1].rowCount += 1;
        card.rowInserted(L + 1, 0, added);
    } else {
        const int next = card.rows[R].nextRow;
        card.rows[added].prevRow = R;
        card.rows[added].nextRow = isRow(card, next) ? next : 0;
        if (isRow(card, next)) card.rows[next].prevRow = added;
        card.rows[R].nextRow = added;
        card.lines[L].rowCount += 1;
        card.rowInserted(L, position + 1, added);
    }

    const RowRef addedRef{section, intoHiddenNext ? L + 1 : L, added};
    for (size_t i = 0; i < fields.size(); ++i)
        card.setField(addedRef, grid, fields[i].number, moved[i]);
    *lines->shownRows += 1;
    card.isModified = true;
    return LineResult::Done;
}

LineResult replicateDown(Card& card, int section, int grid, int rowNumber, int column) {
    const auto lines = gridLines(card, section, grid);
    if (!lines) return LineResult::NoRow;
    // A label cell shows the line's label, not a field: copying the row's
    // unseen field from there would overwrite rows with text nobody saw.
    if (column < 0 || isLabelColumn(card.sections[section], grid, column))
        return LineResult::LabelColumn;
    const auto found = gridRowAt(card, section, *lines, rowNumber);
    if (!found) return LineResult::NoRow;
    const int R = found->row;
    const int L = found->line;
    const int field = fieldOfColumn(column);
    const std::string value = card.field(*found, grid, field);

    const auto write = [&](int row) { card.setField(RowRef{section, L, row}, grid, field, value); };
    forChain(card, card.rows[R].nextRow, write);
    for (int line = L + 1; lines->holds(line); ++line)
        forChain(card, card.lines[line].firstRow, write);

    card.isModified = true;
    return LineResult::Done;
}

}  // namespace zqw
