#include "card/cardchecks.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "card/cardcompare.h"
#include "card/cp1252.h"
#include "card/notesoutline.h"

namespace zqw {

namespace {

using Severity = CheckFinding::Severity;
using Place = CheckFinding::Place;

std::string groupOf(const Card& card, const Section& section) {
    if (section.groupIndex < 0 || section.groupIndex >= static_cast<int>(card.groups.size()))
        return {};
    return card.groups[static_cast<size_t>(section.groupIndex)].name;
}

// One row of a grid with where it stands.
struct GridRow {
    int section = -1;
    int grid = 1;
    int line = 0;
    int gridRow = 0;
    int row = 0;  // index in Card::rows
};

// Every shown row of the card in card order.
std::vector<GridRow> allRows(const Card& card) {
    std::vector<GridRow> rows;
    for (int si = 0; si < static_cast<int>(card.sections.size()); ++si) {
        const Section& s = card.sections[static_cast<size_t>(si)];
        const std::pair<int, std::pair<int, int>> grids[] = {
            {1, {s.columnCount > 0 ? s.firstLine : 0, s.columnCount > 0 ? s.lineCount : 0}},
            {2, {s.hasGrid2 ? s.firstLine2 : 0, s.hasGrid2 ? s.lineCount2 : 0}}};
        for (const auto& [grid, lines] : grids) {
            int gridRow = 0;
            for (int l = lines.first; l > 0 && l < lines.first + lines.second; ++l) {
                for (const int row : rowsOfLine(card, l))
                    rows.push_back({si, grid, l, ++gridRow, row});
            }
        }
    }
    return rows;
}

// The grid column a row's note number is shown with: the last one.
int lastColumn(const Section& section, int grid) {
    return grid == 2 ? 1 : std::max(0, section.columnCount - 1);
}

CheckFinding cellFinding(const Card& card, const GridRow& at, int column, Severity severity,
                         std::string what) {
    const Section& s = card.sections[static_cast<size_t>(at.section)];
    std::string where = groupOf(card, s) + " > " + s.name + ", row " + std::to_string(at.gridRow);
    const std::string& label = card.lines[static_cast<size_t>(at.line)].label;
    if (!label.empty()) where += " (" + label + ")";
    if (at.grid == 1 && s.columnCount > 1) {
        const size_t index = static_cast<size_t>(s.firstColumn + column);
        if (index > 0 && index < card.columns.size() && !card.columns[index].heading.empty())
            where += ", " + card.columns[index].heading;
    }
    CheckFinding f;
    f.severity = severity;
    f.what = std::move(what);
    f.where = std::move(where);
    f.place = Place::Cell;
    f.section = at.section;
    f.grid = at.grid;
    f.gridRow = at.gridRow;
    f.gridColumn = column;
    return f;
}

// The answer columns of a row with the field each shows.
std::string byteName(unsigned char byte) {
    switch (byte) {
        case '\t':
            return "a TAB";
        case '\n':
        case '\r':
            return "a line break";
        case 26:
            return "Ctrl-Z";
        default:
            return "control character " + std::to_string(byte);
    }
}

std::string notesWhere(int paragraph) { return "Notes, line " + std::to_string(paragraph); }

}  // namespace

std::vector<CheckFinding> checkNoteReferences(const Card& card,
                                              const std::vector<std::string>& notes) {
    std::map<int, int> headings;  // note number -> first paragraph
    const std::vector<NoteBlock> blocks = splitNotes(notes);
    // The first block holds the lines before any heading.
    for (size_t b = 1; b < blocks.size(); ++b)
        headings.emplace(blocks[b].noteNo, blocks[b].firstParagraph);
    std::vector<CheckFinding> findings;
    std::set<int> referred;
    for (const GridRow& at : allRows(card)) {
        const RowText& row = card.rows[static_cast<size_t>(at.row)];
        const Section& s = card.sections[static_cast<size_t>(at.section)];
        // (note number, column it shows in)
        std::vector<std::pair<int, int>> references;
        if (row.noteNo > 0) references.push_back({row.noteNo, lastColumn(s, at.grid)});
        for (const auto& [column, field] : answerColumns(s, at.grid)) {
            for (const int n : noteReferencesIn(fieldOf(row.text, s.columnCount, at.grid, field)))
                references.push_back({n, column});
        }
        for (const auto& [number, column] : references) {
            referred.insert(number);
            if (headings.count(number)) continue;
            findings.push_back(cellFinding(card, at, column, Severity::Error,
                                           "Note#" + std::to_string(number) +
                                               " has no heading Note:.." + std::to_string(number) +
                                               ": in the notes"));
        }
    }
    for (const auto& [number, paragraph] : headings) {
        if (referred.count(number)) continue;
        CheckFinding f;
        f.severity = Severity::Warning;
        f.what = "Nothing on the card refers to note " + std::to_string(number);
        f.where = notesWhere(paragraph);
        f.place = Place::NotesLine;
        f.notesParagraph = paragraph;
        findings.push_back(std::move(f));
    }
    return findings;
}

std::vector<CheckFinding> checkPartnership(const Card& card) {
    std::vector<CheckFinding> findings;
    if (card.groups.empty() || card.sections.empty()) return findings;
    const int si = card.groups.front().firstSection;
    if (si < 0 || si >= static_cast<int>(card.sections.size())) return findings;
    const Section& s = card.sections[static_cast<size_t>(si)];
    int gridRow = 0;
    for (int l = s.firstLine; l > 0 && l < s.firstLine + s.lineCount; ++l) {
        const std::vector<int> rows = rowsOfLine(card, l);
        const std::string& label = card.lines[static_cast<size_t>(l)].label;
        if (label == "KHF numbers" || label == "Names") {
            const auto answered = [&](int row) {
                for (const auto& [column, field] : answerColumns(s, 1)) {
                    const std::string text =
                        fieldOf(card.rows[static_cast<size_t>(row)].text, s.columnCount, 1, field);
                    if (text.find_first_not_of(' ') != std::string::npos) return true;
                }
                return false;
            };
            if (std::none_of(rows.begin(), rows.end(), answered)) {
                const GridRow at{si, 1, l, rows.empty() ? 0 : gridRow + 1, 0};
                CheckFinding f =
                    cellFinding(card, at, answerColumns(s, 1).front().first, Severity::Error,
                                label == "Names" ? "The partnership names are empty"
                                                 : "The KHF numbers are empty");
                if (rows.empty()) f.place = Place::None;
                findings.push_back(std::move(f));
            }
        }
        gridRow += static_cast<int>(rows.size());
    }
    return findings;
}

std::vector<CheckFinding> checkCardCharacters(const Card& card) {
    std::vector<CheckFinding> findings;
    for (const GridRow& at : allRows(card)) {
        const Section& s = card.sections[static_cast<size_t>(at.section)];
        const std::string& text = card.rows[static_cast<size_t>(at.row)].text;
        const bool tabsEndFields = at.grid == 1 && s.columnCount > 1;
        for (const auto& [column, field] : answerColumns(s, at.grid)) {
            const std::string value = fieldOf(text, s.columnCount, at.grid, field);
            for (const char c : value) {
                const auto byte = static_cast<unsigned char>(c);
                if (byte >= 32 || (byte >= kHeartCode && byte <= kSpadeCode)) continue;
                if (byte == '\t' && tabsEndFields) continue;
                findings.push_back(cellFinding(card, at, column, Severity::Error,
                                               "The card cannot store " + byteName(byte)));
                break;
            }
        }
    }
    return findings;
}

std::vector<CheckFinding> checkNotesCharacters(const std::vector<std::string>& utf8Lines) {
    std::vector<CheckFinding> findings;
    for (size_t i = 0; i < utf8Lines.size(); ++i) {
        const std::string& line = utf8Lines[i];
        std::string problem;
        for (size_t pos = 0; pos < line.size() && problem.empty();) {
            const char32_t code = nextCodePoint(line, pos);
            if (code < 32) {
                problem = byteName(static_cast<unsigned char>(code)) + " becomes a blank";
            } else if (unicodeToCp1252(code) < 0) {
                problem = "U+" + [code] {
                    char hex[16];
                    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(code));
                    return std::string(hex);
                }() + " becomes \"?\"";
            }
        }
        if (problem.empty()) continue;
        CheckFinding f;
        f.severity = Severity::Warning;
        f.what = "The notes file cannot store a character: " + problem;
        f.where = notesWhere(static_cast<int>(i) + 1);
        f.place = Place::NotesLine;
        f.notesParagraph = static_cast<int>(i) + 1;
        findings.push_back(std::move(f));
    }
    return findings;
}

std::vector<CheckFinding> checkNotesLink(const std::string& linkedName, bool notesFound) {
    if (linkedName.empty() || notesFound) return {};
    CheckFinding f;
    f.what = "The linked notes file is missing";
    f.where = linkedName;
    f.place = Place::NotesFile;
    return {f};
}

std::vector<CheckFinding> checkPrintedCells(const Card& card, const CardPrintPlan& plan) {
    std::vector<CheckFinding> findings;
    // Grid places of the rows the plan prints.
    std::map<int, GridRow> places;
    for (const GridRow& at : allRows(card)) places.emplace(at.row, at);
    for (int n = 1; n <= plan.lastRow(); ++n) {
        const PrintRow& printed = plan.row(n);
        if (printed.kind != PrintRowKind::Text && printed.kind != PrintRowKind::Grid2Text) continue;
        const auto place = places.find(printed.rowIndex);
        if (place == places.end()) continue;
        const GridRow& at = place->second;
        const Section& s = card.sections[static_cast<size_t>(at.section)];
        const RowText& row = card.rows[static_cast<size_t>(at.row)];
        // The texts the answers print as, to tell which cell a caption is.
        std::vector<std::pair<int, std::string>> shown;
        const auto columns = answerColumns(s, at.grid);
        for (size_t k = 0; k < columns.size(); ++k) {
            std::string text = fieldOf(row.text, s.columnCount, at.grid, columns[k].second);
            codesToDisplay(text, plan.suitChars());
            if (k + 1 == columns.size() && row.noteNo > 0)
                text += " Note#" + std::to_string(row.noteNo);
            shown.push_back({columns[k].first, std::move(text)});
        }
        // A caption too long for its cell prints smaller, and past the
        // smallest size shortened at a word with an ellipsis, its note
        // reference kept whole: the ellipsis tells which were shortened.
        for (const PrintLabel& label : printed.labels) {
            const size_t mark = label.text.find(kEllipsis);
            if (mark == std::string::npos) continue;
            const std::string before = label.text.substr(0, mark);
            const std::string after = label.text.substr(mark + 1);
            const auto cell = std::find_if(shown.begin(), shown.end(), [&](const auto& entry) {
                const std::string& whole = entry.second;
                // An ellipsis the answer holds itself cuts nothing.
                return whole.find(label.text) == std::string::npos &&
                       whole.size() > before.size() + after.size() && whole.ends_with(after) &&
                       whole.find(before) != std::string::npos;
            });
            if (cell == shown.end()) continue;  // the line's label, not an answer
            const std::string& whole = cell->second;
            const size_t start = whole.find(before) + before.size();
            const size_t end = whole.size() - after.size();
            if (end <= start) continue;
            std::string cut = whole.substr(start, end - start);
            const size_t count = cut.size();
            displayToCodes(cut, plan.suitChars());
            findings.push_back(
                cellFinding(card, at, cell->first, Severity::Warning,
                            "The answer is longer than its printed cell: " + std::to_string(count) +
                                " characters (\"" + cut + "\") are left out"));
        }
    }
    return findings;
}

std::vector<CheckFinding> checkPackageSize(uint64_t packageBytes) {
    if (packageBytes <= kMostMailedPackageBytes) return {};
    CheckFinding f;
    f.what = "The package would be " + std::to_string(packageBytes) +
             " bytes, more than the KHF's mail server accepts (" +
             std::to_string(kMostMailedPackageBytes) + " bytes)";
    f.where = "Package";
    return {f};
}

std::vector<CheckFinding> checkCard(const Card& card, const CheckInputs& inputs) {
    std::vector<CheckFinding> findings = checkPartnership(card);
    const auto add = [&findings](std::vector<CheckFinding> more) {
        findings.insert(findings.end(), std::make_move_iterator(more.begin()),
                        std::make_move_iterator(more.end()));
    };
    if (inputs.notes) add(checkNoteReferences(card, *inputs.notes));
    add(checkCardCharacters(card));
    add(checkNotesLink(inputs.linkedNotes, inputs.notesFound));
    add(checkNotesCharacters(inputs.notesUtf8));
    add(inputs.printed);
    if (inputs.packageBytes) add(checkPackageSize(*inputs.packageBytes));
    return findings;
}

bool hasErrors(const std::vector<CheckFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const CheckFinding& f) { return f.severity == Severity::Error; });
}

}  // namespace zqw
