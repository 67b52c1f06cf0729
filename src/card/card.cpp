#include "card/card.h"

#include "card/templateparser.h"
#include "card/textfile.h"
#include "card/texthelpers.h"

namespace zqw {

namespace {}  // namespace

Card::Card(MessageSink& messages, NotesEditor& notes) : messages_(messages), notes_(notes) {}

void Card::parseTemplate(std::string_view templateBytes) { buildCardShape(*this, templateBytes); }

bool Card::parseTemplateFile(const std::string& path) {
    const auto bytes = readRegularFile(path);
    if (!bytes) return false;
    parseTemplate(*bytes);
    return true;
}

void Card::resetToBlankCard() {
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
    int step = total - lines[lineIndex].rowCount + 1;
    int row = lines[lineIndex].firstRow;
    while (step < rowNumber) {
        ++step;
        if (row <= 0 || row >= static_cast<int>(rows.size())) return broken();
        row = rows[row].nextRow;
        if (row == 0) return broken();
    }
    if (row < 0 || row >= static_cast<int>(rows.size())) return broken();
    return RowRef{section, lineIndex, row};
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

void Card::codesToDisplay(std::string& text) const { zqw::codesToDisplay(text, suitChars); }

void Card::displayToCodes(std::string& text) const { zqw::displayToCodes(text, suitChars); }

const CellInfo& Card::cellInfoOf(int lineIndex, int gridColumn) const {
    static const CellInfo none;
    if (lineIndex <= 0 || lineIndex >= static_cast<int>(lines.size()) || gridColumn < 0)
        return none;
    const long index = static_cast<long>(lines[lineIndex].cellInfoIndex) - 1 + gridColumn;
    // A line owns the cells up to the next line's first cell.
    const long limit = lineIndex + 1 < static_cast<int>(lines.size())
                           ? lines[lineIndex + 1].cellInfoIndex - 1
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
