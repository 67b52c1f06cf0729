#include "card/card.h"

#include "card/cardindex.h"
#include "card/filelimits.h"
#include "card/templateparser.h"
#include "card/textfile.h"
#include "card/texthelpers.h"

namespace zqw {

namespace {}  // namespace

Card::Card(MessageSink& messages, NotesEditor& notes) : messages_(messages), notes_(notes) {}

void Card::parseTemplate(std::string_view templateBytes) { buildCardShape(*this, templateBytes); }

bool Card::parseTemplateFile(const std::string& path) {
    std::string why;
    const auto bytes = readRegularFile(path, kMostTemplateBytes, &why);
    if (!bytes) {
        if (why == fileTooLargeReason(kMostTemplateBytes))
            messages_.showMessage(path + " was not read: " + why);
        return false;
    }
    parseTemplate(*bytes);
    return true;
}

void Card::resetToBlankCard() {
    rowsReplaced();
    rows.clear();
    rows.emplace_back();
    const auto giveRows = [this](int firstLine, int lineCount) {
        for (int i = 0; i < lineCount; ++i) {
            TemplateLine& line = lines.at(firstLine + i);
            line.firstRow = static_cast<int>(rows.size());
            line.rowCount = 1;
            rows.emplace_back();
        }
    };
    for (Section& form : sections) {
        if (form.columnCount != 0) {
            if (form.columnCount > 1) {
                for (int c = 0; c < form.columnCount; ++c) {
                    ColumnHead& head = columns.at(form.firstColumn + c);
                    head.width = head.defaultWidth;
                }
            }
            giveRows(form.firstLine, form.lineCount);
            form.rowCount = form.lineCount;
        }
        if (form.hasGrid2) {
            form.labelWidth2 = form.defaultLabelWidth2;
            form.textWidth2 = form.defaultTextWidth2;
            giveRows(form.firstLine2, form.lineCount2);
            form.rowCount2 = form.lineCount2;
        }
    }
    isOpen = true;
    cardFileName = kUnnamedFile;
    isNoCard = false;
    isModified = false;
    notesFileName.clear();
    auctions.clear();
    auctions.emplace_back();
    auctionHead1 = auctionHead2 = auctionHead3 = 0;
    appendMissingAuctionChains();
}

void Card::appendMissingAuctionChains() {
    // A chain without auctions gets the single empty auction of a new card.
    for (int* head : {&auctionHead1, &auctionHead2, &auctionHead3}) {
        if (*head != 0) continue;
        RowText auction;
        auction.text.assign(1, '\0');
        *head = static_cast<int>(auctions.size());
        auctions.push_back(auction);
    }
}

void Card::resetToNoCard() {
    isOpen = false;
    cardFileName = kNoFile;
    isNoCard = true;
    isModified = false;
    notesFileName.clear();
}

RowRef Card::findRow(int section, int firstLine, int rowNumber) const {
    const int lineTotal = static_cast<int>(lines.size());
    const auto broken = [this]() {
        messages_.showMessage("Internal error in findtext search");
        return RowRef{};
    };
    int lineIndex = firstLine;
    if (lineIndex <= 0 || lineIndex >= lineTotal) return broken();
    int total = lines[lineIndex].rowCount;
    while (total < rowNumber) {
        if (lineIndex + 1 >= lineTotal) return broken();
        ++lineIndex;
        total += lines[lineIndex].rowCount;
    }
    // Row 0 and below count as the line's first row (its kept row when
    // the line is hidden).
    const int position = std::max(0, rowNumber - (total - lines[lineIndex].rowCount) - 1);
    if (position == 0) {
        const int row = lines[lineIndex].firstRow;
        if (row < 0 || row >= static_cast<int>(rows.size())) return broken();
        return RowRef{section, lineIndex, row};
    }
    const std::vector<int>* lineRowList = this->lineRows(lineIndex);
    if (!lineRowList || position >= static_cast<int>(lineRowList->size())) return broken();
    return RowRef{section, lineIndex, (*lineRowList)[static_cast<size_t>(position)]};
}

bool Card::isCurrent(const LineRows& entry, int line) const {
    return entry.firstRow == lines[line].firstRow && entry.rowCount == lines[line].rowCount &&
           entry.rowRecords == rows.size();
}

const std::vector<int>* Card::lineRows(int line) const {
    if (rowIndex_.size() != lines.size()) rowIndex_.assign(lines.size(), LineRows{});
    LineRows& entry = rowIndex_[static_cast<size_t>(line)];
    if (isCurrent(entry, line)) return &entry.rows;
    // Walked once; the walk is bounded by the rows there are, so a chain
    // that loops cannot hang the editor.
    std::vector<int> found;
    const int count = lines[line].rowCount;
    found.reserve(static_cast<size_t>(std::max(0, count)));
    int row = lines[line].firstRow;
    for (int k = 0; k < count; ++k) {
        if (row <= 0 || row >= static_cast<int>(rows.size())) return nullptr;
        found.push_back(row);
        row = rows[row].nextRow;
    }
    entry = LineRows{lines[line].firstRow, count, rows.size(), std::move(found)};
    return &entry.rows;
}

void Card::rowsReplaced() const { rowIndex_.clear(); }

void Card::rowInserted(int line, int position, int row) const {
    if (line <= 0 || line >= static_cast<int>(rowIndex_.size())) return;
    LineRows& entry = rowIndex_[static_cast<size_t>(line)];
    // Only an entry that was current before this insert can be kept: one
    // row more in the line, and at most one new row record.
    const bool wasCurrent =
        entry.rowCount >= 0 && entry.rowCount + 1 == lines[line].rowCount &&
        (entry.rowRecords == rows.size() || entry.rowRecords + 1 == rows.size());
    if (!wasCurrent || position < 0 || position > static_cast<int>(entry.rows.size())) {
        entry = LineRows{};
        return;
    }
    entry.rows.insert(entry.rows.begin() + position, row);
    entry.firstRow = lines[line].firstRow;
    entry.rowCount = lines[line].rowCount;
    entry.rowRecords = rows.size();
}

void Card::rowRemoved(int line, int position) const {
    if (line <= 0 || line >= static_cast<int>(rowIndex_.size())) return;
    LineRows& entry = rowIndex_[static_cast<size_t>(line)];
    const bool wasCurrent = entry.rowCount >= 0 && entry.rowCount - 1 == lines[line].rowCount &&
                            entry.rowRecords == rows.size();
    if (!wasCurrent || position < 0 || position >= static_cast<int>(entry.rows.size())) {
        entry = LineRows{};
        return;
    }
    entry.rows.erase(entry.rows.begin() + position);
    entry.firstRow = lines[line].firstRow;
    entry.rowCount = lines[line].rowCount;
    entry.rowRecords = rows.size();
}

RowRef Card::findGridRow(int section, int grid, int rowNumber) const {
    if (section < 0 || section >= static_cast<int>(sections.size())) return {};
    const Section& s = sections[section];
    return findRow(section, grid == 1 ? s.firstLine : s.firstLine2, rowNumber);
}

std::string Card::field(const RowRef& ref, int grid, int fieldNo) const {
    if (!ref || ref.row >= static_cast<int>(rows.size())) return {};
    return fieldOf(rows[ref.row].text, sections.at(ref.section).columnCount, grid, fieldNo);
}

void Card::setField(const RowRef& ref, int grid, int fieldNo, const std::string& value) {
    if (!ref || ref.row >= static_cast<int>(rows.size())) return;
    RowText& row = rows[ref.row];
    row.text = withField(row.text, sections.at(ref.section).columnCount, grid, fieldNo, value);
}

const CellInfo& Card::cellInfoOf(int lineIndex, int gridColumn) const {
    static const CellInfo none;
    if (lineIndex <= 0 || lineIndex >= static_cast<int>(lines.size()) || gridColumn < 0)
        return none;
    const long index = cellInfoPosition(lines[lineIndex].cellInfoIndex, gridColumn);
    // A line owns the cells up to the next line's first cell.
    const long limit = lineIndex + 1 < static_cast<int>(lines.size())
                           ? cellInfoPosition(lines[lineIndex + 1].cellInfoIndex, 0)
                           : static_cast<long>(cellInfos.size());
    if (index <= 0 || index >= limit || index >= static_cast<long>(cellInfos.size())) return none;
    return cellInfos[index];
}

int Card::sectionIndexOf(int group, int sectionTab) const {
    if (group < 0 || group >= static_cast<int>(groups.size()) || isNotesGroup(group)) return -1;
    const Group& head = groups[group];
    if (sectionTab < 0 || sectionTab >= head.sectionCount) return -1;
    const int index = head.firstSection + sectionTab;
    return index < static_cast<int>(sections.size()) ? index : -1;
}

}  // namespace zqw
