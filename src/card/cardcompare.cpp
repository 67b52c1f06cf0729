#include "card/cardcompare.h"

#include <algorithm>
#include <map>

#include "card/cardindex.h"
#include "card/notesoutline.h"

namespace zqw {

namespace {

bool isRow(const Card& card, int index) {
    return index > 0 && index < static_cast<int>(card.rows.size());
}

}  // namespace

std::vector<int> rowsOfLine(const Card& card, int lineIndex) {
    std::vector<int> rows;
    if (lineIndex <= 0 || lineIndex >= static_cast<int>(card.lines.size())) return rows;
    const TemplateLine& line = card.lines[static_cast<size_t>(lineIndex)];
    int row = line.firstRow;
    for (int k = 0; k < line.rowCount && isRow(card, row); ++k) {
        rows.push_back(row);
        row = card.rows[static_cast<size_t>(row)].nextRow;
    }
    return rows;
}

namespace {

struct GridShape {
    int firstLine = 0;
    int lineCount = 0;
};

std::vector<std::pair<int, GridShape>> gridsOf(const Section& section) {
    std::vector<std::pair<int, GridShape>> grids;
    if (section.columnCount > 0) grids.push_back({1, {section.firstLine, section.lineCount}});
    if (section.hasGrid2) grids.push_back({2, {section.firstLine2, section.lineCount2}});
    return grids;
}

std::string headingOf(const Card& card, const Section& section, int grid, int column) {
    if (grid != 1) return {};
    const int index = section.firstColumn + column;
    if (index <= 0 || index >= static_cast<int>(card.columns.size())) return {};
    return card.columns[static_cast<size_t>(index)].heading;
}

std::string noteText(int noteNo) { return noteNo > 0 ? "Note#" + std::to_string(noteNo) : ""; }

class CardWalk {
public:
    CardWalk(const Card& mine, const Card& theirs, std::vector<CardDifference>& out)
        : mine_(mine), theirs_(theirs), out_(out) {}

    void section(int si) {
        const Section& s = mine_.sections[static_cast<size_t>(si)];
        for (const auto& [grid, shape] : gridsOf(s)) {
            int mineRow = 0;
            int theirsRow = 0;
            for (int l = shape.firstLine; l < shape.firstLine + shape.lineCount; ++l) {
                const std::vector<int> mineRows = rowsOfLine(mine_, l);
                const std::vector<int> theirsRows = rowsOfLine(theirs_, l);
                const size_t count = std::max(mineRows.size(), theirsRows.size());
                for (size_t k = 0; k < count; ++k) {
                    const RowText* a =
                        k < mineRows.size() ? &mine_.rows[size_t(mineRows[k])] : nullptr;
                    const RowText* b =
                        k < theirsRows.size() ? &theirs_.rows[size_t(theirsRows[k])] : nullptr;
                    if (a) ++mineRow;
                    if (b) ++theirsRow;
                    CardDifference where = place(si, s, grid, l);
                    where.position = static_cast<int>(k) + 1;
                    where.row = a ? mineRow : theirsRow;
                    row(where, s, a, b);
                }
            }
        }
    }

    void widths(int si) {
        const Section& s = mine_.sections[static_cast<size_t>(si)];
        if (s.columnCount < 2) return;
        for (int j = 0; j < s.columnCount; ++j) {
            const size_t index = static_cast<size_t>(s.firstColumn + j);
            if (index == 0 || index >= mine_.columns.size() || index >= theirs_.columns.size())
                continue;
            const int a = mine_.columns[index].width;
            const int b = theirs_.columns[index].width;
            if (a == b) continue;
            CardDifference d = place(si, s, 1, 0);
            d.kind = CardDifference::Kind::ColumnWidth;
            d.gridColumn = j;
            d.heading = headingOf(mine_, s, 1, j);
            d.mine = std::to_string(a);
            d.theirs = std::to_string(b);
            d.theirsNumber = b;
            out_.push_back(std::move(d));
        }
    }

private:
    CardDifference place(int si, const Section& s, int grid, int lineIndex) const {
        CardDifference d;
        d.sectionIndex = si;
        d.grid = grid;
        d.lineIndex = lineIndex;
        if (s.groupIndex >= 0 && s.groupIndex < static_cast<int>(mine_.groups.size())) {
            d.group = mine_.groups[static_cast<size_t>(s.groupIndex)].name;
        }
        d.section = s.name;
        if (lineIndex > 0) d.line = mine_.lines[static_cast<size_t>(lineIndex)].label;
        return d;
    }

    void row(const CardDifference& where, const Section& s, const RowText* a, const RowText* b) {
        static const RowText none;
        const RowText& mineRow = a ? *a : none;
        const RowText& theirsRow = b ? *b : none;
        for (const auto& [column, field] : answerColumns(s, where.grid)) {
            std::string x = fieldOf(mineRow.text, s.columnCount, where.grid, field);
            std::string y = fieldOf(theirsRow.text, s.columnCount, where.grid, field);
            if (x == y) continue;
            CardDifference d = where;
            d.gridColumn = column;
            d.heading = headingOf(mine_, s, where.grid, column);
            d.mine = std::move(x);
            d.theirs = std::move(y);
            out_.push_back(std::move(d));
        }
        if (mineRow.noteNo != theirsRow.noteNo) {
            CardDifference d = where;
            d.kind = CardDifference::Kind::NoteNumber;
            d.gridColumn = answerColumns(s, where.grid).back().first;
            d.heading = "Note";
            d.mine = noteText(mineRow.noteNo);
            d.theirs = noteText(theirsRow.noteNo);
            d.theirsNumber = theirsRow.noteNo;
            out_.push_back(std::move(d));
        }
    }

    const Card& mine_;
    const Card& theirs_;
    std::vector<CardDifference>& out_;
};

// Gives a line one more row at its end; a hidden line shows its kept row
// again, emptied, since what it held was not on the card.
void appendRow(Card& card, int sectionIndex, int grid, int lineIndex) {
    Section& section = card.sections[static_cast<size_t>(sectionIndex)];
    TemplateLine& line = card.lines[static_cast<size_t>(lineIndex)];
    const auto added = [&card] {
        card.rows.emplace_back();
        return static_cast<int>(card.rows.size()) - 1;
    };
    if (line.rowCount == 0) {
        if (!isRow(card, line.firstRow)) line.firstRow = added();
        card.rows[static_cast<size_t>(line.firstRow)] = RowText{};
    } else {
        const std::vector<int> rows = rowsOfLine(card, lineIndex);
        if (rows.size() != static_cast<size_t>(line.rowCount)) return;  // broken chain
        const int last = rows.back();
        const int row = added();
        card.rows[static_cast<size_t>(row)].prevRow = last;
        card.rows[static_cast<size_t>(last)].nextRow = row;
    }
    line.rowCount += 1;
    (grid == 1 ? section.rowCount : section.rowCount2) += 1;
    card.rowsReplaced();
}

// My row at a position of a line, adding rows as needed; 0 when the line
// cannot take one.
int rowAt(Card& card, const CardDifference& d) {
    if (d.sectionIndex < 0 || d.sectionIndex >= static_cast<int>(card.sections.size())) return 0;
    if (d.lineIndex <= 0 || d.lineIndex >= static_cast<int>(card.lines.size()) || d.position < 1)
        return 0;
    while (card.lines[static_cast<size_t>(d.lineIndex)].rowCount < d.position) {
        const int before = card.lines[static_cast<size_t>(d.lineIndex)].rowCount;
        appendRow(card, d.sectionIndex, d.grid, d.lineIndex);
        if (card.lines[static_cast<size_t>(d.lineIndex)].rowCount == before) return 0;
    }
    const std::vector<int> rows = rowsOfLine(card, d.lineIndex);
    return static_cast<size_t>(d.position) <= rows.size() ? rows[size_t(d.position) - 1] : 0;
}

}  // namespace

std::vector<CardDifference> compareCards(const Card& mine, const Card& theirs,
                                         const CompareOptions& options) {
    std::vector<CardDifference> out;
    if (mine.sections.size() != theirs.sections.size() || mine.lines.size() != theirs.lines.size())
        return out;
    CardWalk walk(mine, theirs, out);
    for (int si = 0; si < static_cast<int>(mine.sections.size()); ++si) {
        if (options.columnWidths) walk.widths(si);
        walk.section(si);
    }
    return out;
}

std::vector<CardDifference> compareNotes(const std::vector<std::string>& mine,
                                         const std::vector<std::string>& theirs,
                                         const SuitChars& chars) {
    // Each note's lines, trailing empty lines left out: a blank line more
    // at the end of a note is no difference a reader sees.
    const auto byNote = [](const std::vector<std::string>& paragraphs) {
        std::map<int, std::vector<std::string>> notes;
        for (NoteBlock& block : splitNotes(paragraphs)) {
            auto& lines = notes[block.noteNo];
            lines.insert(lines.end(), block.lines.begin(), block.lines.end());
        }
        for (auto& [number, lines] : notes) {
            while (!lines.empty() && lines.back().empty()) lines.pop_back();
        }
        return notes;
    };
    const auto a = byNote(mine);
    const auto b = byNote(theirs);
    std::map<int, int> numbers;
    for (const auto& entry : a) numbers[entry.first] = 0;
    for (const auto& entry : b) numbers[entry.first] = 0;

    static const std::vector<std::string> none;
    std::vector<CardDifference> out;
    for (const auto& entry : numbers) {
        const int number = entry.first;
        const auto& x = a.count(number) ? a.at(number) : none;
        const auto& y = b.count(number) ? b.at(number) : none;
        for (size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
            const std::string& p = i < x.size() ? x[i] : std::string();
            const std::string& q = i < y.size() ? y[i] : std::string();
            if (p == q) continue;
            CardDifference d;
            d.kind = CardDifference::Kind::NotesLine;
            d.group = "Notes";
            d.line = number > 0 ? "Note " + std::to_string(number) : "";
            d.row = static_cast<int>(i) + 1;
            d.noteNo = number;
            d.mine = p;
            d.theirs = q;
            displayToCodes(d.mine, chars);
            displayToCodes(d.theirs, chars);
            out.push_back(std::move(d));
        }
    }
    return out;
}

int takeTheirs(Card& mine, const std::vector<CardDifference>& differences) {
    int applied = 0;
    for (const CardDifference& d : differences) {
        switch (d.kind) {
            case CardDifference::Kind::Cell: {
                const int row = rowAt(mine, d);
                if (row == 0) break;
                const Section& s = mine.sections[static_cast<size_t>(d.sectionIndex)];
                const int field =
                    d.grid == 2 ? 2 : (s.columnCount == 1 ? 1 : fieldOfColumn(d.gridColumn));
                RowText& text = mine.rows[static_cast<size_t>(row)];
                text.text = withField(text.text, s.columnCount, d.grid, field, d.theirs);
                ++applied;
                break;
            }
            case CardDifference::Kind::NoteNumber: {
                const int row = rowAt(mine, d);
                if (row == 0) break;
                mine.rows[static_cast<size_t>(row)].noteNo = d.theirsNumber;
                ++applied;
                break;
            }
            case CardDifference::Kind::ColumnWidth: {
                if (d.sectionIndex < 0 || d.sectionIndex >= static_cast<int>(mine.sections.size()))
                    break;
                const size_t index = static_cast<size_t>(
                    mine.sections[static_cast<size_t>(d.sectionIndex)].firstColumn + d.gridColumn);
                if (index == 0 || index >= mine.columns.size()) break;
                mine.columns[index].width = d.theirsNumber;
                ++applied;
                break;
            }
            case CardDifference::Kind::NotesLine:
                break;
        }
    }
    if (applied > 0) mine.isModified = true;
    return applied;
}

std::vector<std::pair<int, int>> answerColumns(const Section& section, int grid) {
    if (grid == 2) return {{1, 2}};
    if (section.columnCount == 1) return {{0, 1}};
    std::vector<std::pair<int, int>> columns;
    for (int j = 1; j < section.columnCount; ++j) columns.push_back({j, j + 1});
    return columns;
}

}  // namespace zqw
