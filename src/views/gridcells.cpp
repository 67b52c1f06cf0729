#include "views/gridcells.h"

#include <algorithm>

#include "card/cardindex.h"
#include "card/printlayout.h"
#include "card/texthelpers.h"
#include "dialogs/cardtextvalidator.h"
#include "document/carddocument.h"
#include "document/cardtext.h"
#include "document/editorsettings.h"

namespace {

// Cells show at most this many characters.
constexpr int kCellBuffer = 255;

// Undo steps with this id merge while they follow each other.
constexpr int kColumnWidthMerge = 1;

bool isLabelColumn(const zqw::Section& section, int grid, int column) {
    return column == 0 && (grid == 2 || section.columnCount >= 2);
}

// Whether the section's grid shows that row; a grid the section does not
// have shows none.
bool hasRow(const zqw::Section& section, int grid, int row) {
    if (grid == 1) return section.columnCount != 0 && row >= 1 && row <= section.rowCount;
    return grid == 2 && section.hasGrid2 && row >= 1 && row <= section.rowCount2;
}

}  // namespace

GridCells::GridCells(CardDocument& document, const EditorSettings& settings)
    : document_(document), settings_(settings) {}

QString GridCells::cellText(int grid, int row, int column) const {
    const zqw::Card& card = document_.card();
    if (section_ < 0 || section_ >= static_cast<int>(card.sections.size())) return {};
    const zqw::Section& s = card.sections[section_];
    if (grid == 1 && s.hasHeadings && row == 0) {
        if (column < 0 || column >= s.columnCount) return {};
        return fromCardText(card.columns[s.firstColumn + column].heading).left(kCellBuffer);
    }
    if (!hasRow(s, grid, row)) return {};
    const zqw::RowRef ref = card.findGridRow(section_, grid, row);
    const zqw::TemplateLine& line = card.lines[ref.line];
    std::string text;
    if (!isLabelColumn(s, grid, column)) {
        text = card.field(ref, grid, zqw::fieldOfColumn(column));
    } else if (ref.row == line.firstRow) {
        text = line.label;
    } else if (grid == 1 && s.groupIndex == static_cast<int>(card.groups.size()) - 3 &&
               settings_.printLayout().openBidsOnAllLines()) {
        // The opening bids table repeats its bid on every row of a line.
        text = line.label;
    }
    zqw::codesToDisplay(text, settings_.suitChars());
    return fromCardText(text).left(kCellBuffer);
}

bool GridCells::isEditable(int grid, int row, int column) const {
    const zqw::Card& card = document_.card();
    // A closed card stays on screen, but nothing it shows can be changed.
    if (!document_.isOpen()) return false;
    if (section_ < 0 || section_ >= static_cast<int>(card.sections.size())) return false;
    const zqw::Section& s = card.sections[section_];
    return hasRow(s, grid, row) && !isLabelColumn(s, grid, column);
}

std::optional<std::pair<int, std::string>> GridCells::editedRow(int grid, int row, int column,
                                                                const QString& text) const {
    const zqw::Card& card = document_.card();
    if (section_ < 0 || section_ >= static_cast<int>(card.sections.size()) ||
        !hasRow(card.sections[section_], grid, row))
        return std::nullopt;
    const zqw::RowRef ref = card.findGridRow(section_, grid, row);
    if (!ref) return std::nullopt;
    std::string old = card.field(ref, grid, zqw::fieldOfColumn(column));
    const zqw::SuitChars chars = settings_.suitChars();
    zqw::codesToDisplay(old, chars);
    std::string edited = enterCardText(text, chars).bytes;
    if (old == edited) return std::nullopt;
    zqw::displayToCodes(edited, chars);
    zqw::cleanCellText(edited);
    const zqw::Section& s = card.sections[section_];
    return std::make_pair(ref.row, zqw::withField(card.rows[ref.row].text, s.columnCount, grid,
                                                  zqw::fieldOfColumn(column), edited));
}

void GridCells::commitEdit(int grid, int row, int column, const QString& text) {
    const auto edited = editedRow(grid, row, column, text);
    if (!edited) return;
    document_.changeRow(QStringLiteral("Typing in ") + cellName(grid, row), edited->first,
                        edited->second, document_.card().rows[edited->first].noteNo);
}

QString GridCells::cellName(int grid, int row) const {
    const zqw::Card& card = document_.card();
    if (section_ < 0 || section_ >= static_cast<int>(card.sections.size())) return {};
    const zqw::Section& s = card.sections[section_];
    const zqw::RowRef ref = card.findGridRow(section_, grid, row);
    const std::string& label = card.lines[ref.line].label;
    if (label.empty()) return withSuitSymbols(s.name);
    // A label column's heading says what the labels are ("Bid 1♣").
    const std::string heading = grid == 1 && s.hasHeadings && s.columnCount >= 2
                                    ? card.columns[s.firstColumn].heading
                                    : std::string();
    return withSuitSymbols(heading.empty() ? label : heading + " " + label);
}

int GridCells::noteNumber(int grid, int row) const {
    const zqw::Card& card = document_.card();
    if (section_ < 0 || section_ >= static_cast<int>(card.sections.size()) ||
        !hasRow(card.sections[section_], grid, row))
        return 0;
    return card.rows[card.findGridRow(section_, grid, row).row].noteNo;
}

void GridCells::storeColumnWidths(int grid, const QList<int>& pixels, int printColumnWidth) {
    // A drag moves the border in many small steps: they make one undo step.
    document_.recordChange(
        QStringLiteral("Column width"),
        [&] { return applyColumnWidths(grid, pixels, printColumnWidth); }, kColumnWidthMerge);
}

bool GridCells::applyColumnWidths(int grid, const QList<int>& pixels, int printColumnWidth) {
    zqw::Card& card = document_.card();
    if (section_ < 0 || section_ >= static_cast<int>(card.sections.size())) return false;
    zqw::Section& s = card.sections[section_];
    const std::vector<int> percents = zqw::gridColumnPercents(
        s, grid, std::vector<int>(pixels.begin(), pixels.end()), printColumnWidth);
    if (percents.empty()) return false;
    bool changed = false;
    if (grid == 1) {
        for (int i = 0; i < s.columnCount; ++i) {
            zqw::ColumnHead& head = card.columns[s.firstColumn + i];
            if (percents[static_cast<size_t>(i)] != head.width) {
                head.width = percents[static_cast<size_t>(i)];
                changed = true;
            }
        }
    } else if (percents[0] != s.labelWidth2 || percents[1] != s.textWidth2) {
        s.labelWidth2 = percents[0];
        s.textWidth2 = percents[1];
        changed = true;
    }
    return changed;
}

QString GridCells::lineLabel(int grid, int row) const {
    const zqw::Card& card = document_.card();
    if (section_ < 0 || section_ >= static_cast<int>(card.sections.size())) return {};
    const zqw::Section& s = card.sections[section_];
    if (!hasRow(s, grid, row) || !isLabelColumn(s, grid, 0)) return {};
    std::string label = card.lines[card.findGridRow(section_, grid, row).line].label;
    zqw::codesToDisplay(label, settings_.suitChars());
    return fromCardText(label).left(kCellBuffer);
}
