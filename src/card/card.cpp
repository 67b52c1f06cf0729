#include "card.h"

#include "templateparser.h"
#include "texthelpers.h"
#include "textfile.h"

namespace zqw {

namespace {

SuitChars suitChars(const Card& card) {
    return {card.ClubChar, card.DiamondChar, card.HeartChar, card.SpadeChar};
}

}  // namespace

Card::Card(MessageSink& messages, NotesEditor& notes) : messages_(messages), notes_(notes) {}

void Card::ParseTemplate(std::string_view templateBytes) { parseTemplate(*this, templateBytes); }

bool Card::ParseTemplateFile(const std::string& path) {
    const auto bytes = readRegularFile(path);
    if (!bytes) return false;
    ParseTemplate(*bytes);
    return true;
}

void Card::ResetBlankCard() {
    RowTexts.clear();
    RowTexts.emplace_back();
    const auto giveRows = [this](int firstLine, int lineCount) {
        for (int i = 0; i < lineCount; ++i) {
            Aline& line = Lines.at(firstLine + i);
            line.FirstRow = static_cast<int>(RowTexts.size());
            line.RowCount = 1;
            RowTexts.emplace_back();
        }
    };
    for (AForm& form : Sections) {
        if (form.ColumnCount != 0) {
            if (form.ColumnCount > 1) {
                for (int c = 0; c < form.ColumnCount; ++c) {
                    AHead& head = Columns.at(form.FirstColumn + c);
                    head.Width = head.DefaultWidth;
                }
            }
            giveRows(form.FirstLine, form.LineCount);
            form.RowCount = form.LineCount;
        }
        if (form.HasGrid2) {
            form.LabelWidth2 = form.DefaultLabelWidth2;
            form.TextWidth2 = form.DefaultTextWidth2;
            giveRows(form.FirstLine2, form.LineCount2);
            form.RowCount2 = form.LineCount2;
        }
    }
    CardOpen = true;
    CardFileName = kUnnamedFile;
    NoCard = false;
    CardChanged = false;
    NoteFileName.clear();
    AuctionTexts.clear();
    AuctionTexts.emplace_back();
    AuctionHead1 = AuctionHead2 = AuctionHead3 = 0;
    AppendMissingAuctionChains();
}

void Card::AppendMissingAuctionChains() {
    // A chain without auctions gets the single empty auction of a new card.
    for (int* head : {&AuctionHead1, &AuctionHead2, &AuctionHead3}) {
        if (*head != 0) continue;
        AText auction;
        auction.Text.assign(1, '\0');
        *head = static_cast<int>(AuctionTexts.size());
        AuctionTexts.push_back(auction);
    }
}

void Card::ResetNoCard() {
    CardOpen = false;
    CardFileName = kNoFile;
    NoCard = true;
    CardChanged = false;
    NoteFileName.clear();
}

int Card::FindRow(int rowNumber, int& lineIndex) {
    const int lineTotal = static_cast<int>(Lines.size());
    const auto broken = [this]() {
        messages_.showMessage("Internal error in findtext search");
        CurRow = 0;
        return 0;
    };
    if (lineIndex <= 0 || lineIndex >= lineTotal) return broken();
    int total = Lines[lineIndex].RowCount;
    while (total < rowNumber) {
        if (lineIndex + 1 >= lineTotal) return broken();
        ++lineIndex;
        total += Lines[lineIndex].RowCount;
    }
    CurLine = lineIndex;
    int step = total - Lines[lineIndex].RowCount + 1;
    int row = Lines[lineIndex].FirstRow;
    while (step < rowNumber) {
        ++step;
        if (row <= 0 || row >= static_cast<int>(RowTexts.size())) return broken();
        row = RowTexts[row].NextRow;
        if (row == 0) return broken();
    }
    if (row < 0 || row >= static_cast<int>(RowTexts.size())) return broken();
    CurRow = row;
    return row;
}

std::string Card::GetField(int grid, int fieldNo) const {
    return getField(RowTexts.at(CurRow).Text, Sections.at(CurSection).ColumnCount, grid, fieldNo);
}

void Card::PutField(int grid, int fieldNo, const std::string& value) {
    AText& row = RowTexts.at(CurRow);
    row.Text = putField(row.Text, Sections.at(CurSection).ColumnCount, grid, fieldNo, value);
}

void Card::CodesToSymbols(std::string& text) const { codesToSymbols(text, suitChars(*this)); }

void Card::SymbolsToCodes(std::string& text) const { symbolsToCodes(text, suitChars(*this)); }

const ACellInfo& Card::CellInfoOf(int lineIndex, int gridColumn) const {
    static const ACellInfo none;
    if (lineIndex <= 0 || lineIndex >= static_cast<int>(Lines.size()) || gridColumn < 0) return none;
    const long index = static_cast<long>(Lines[lineIndex].CellInfoIndex) - 1 + gridColumn;
    // A line owns the cells up to the next line's first cell.
    const long limit = lineIndex + 1 < static_cast<int>(Lines.size())
                           ? Lines[lineIndex + 1].CellInfoIndex - 1
                           : static_cast<long>(CellInfos.size());
    if (index <= 0 || index >= limit || index >= static_cast<long>(CellInfos.size())) return none;
    return CellInfos[index];
}

int Card::SectionIndexOf(int group, int sectionTab) const {
    if (group < 0 || group >= static_cast<int>(Groups.size()) || IsNotesGroup(group)) return -1;
    const AGroupHead& head = Groups[group];
    if (sectionTab < 0 || sectionTab >= head.SectionCount) return -1;
    const int index = head.FirstSection + sectionTab;
    return index < static_cast<int>(Sections.size()) ? index : -1;
}

}  // namespace zqw
