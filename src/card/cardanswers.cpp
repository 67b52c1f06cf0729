#include "card/cardanswers.h"

namespace zqw {

namespace {

bool sameRows(const std::vector<RowText>& a, const std::vector<RowText>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].text != b[i].text || a[i].prevRow != b[i].prevRow ||
            a[i].nextRow != b[i].nextRow || a[i].noteNo != b[i].noteNo)
            return false;
    }
    return true;
}

}  // namespace

bool CardAnswers::operator==(const CardAnswers& other) const {
    if (!sameRows(rows, other.rows) || !sameRows(auctions, other.auctions)) return false;
    for (int i = 0; i < 3; ++i) {
        if (auctionHeads[i] != other.auctionHeads[i]) return false;
    }
    if (lines.size() != other.lines.size() || sections.size() != other.sections.size() ||
        columnWidths != other.columnWidths)
        return false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].firstRow != other.lines[i].firstRow ||
            lines[i].rowCount != other.lines[i].rowCount)
            return false;
    }
    for (size_t i = 0; i < sections.size(); ++i) {
        const SectionRows& a = sections[i];
        const SectionRows& b = other.sections[i];
        if (a.rowCount != b.rowCount || a.rowCount2 != b.rowCount2 ||
            a.labelWidth2 != b.labelWidth2 || a.textWidth2 != b.textWidth2)
            return false;
    }
    return true;
}

CardAnswers captureAnswers(const Card& card) {
    CardAnswers answers;
    answers.rows = card.rows;
    answers.auctions = card.auctions;
    answers.auctionHeads[0] = card.auctionHead1;
    answers.auctionHeads[1] = card.auctionHead2;
    answers.auctionHeads[2] = card.auctionHead3;
    answers.lines.reserve(card.lines.size());
    for (const TemplateLine& line : card.lines)
        answers.lines.push_back({line.firstRow, line.rowCount});
    answers.sections.reserve(card.sections.size());
    for (const Section& section : card.sections) {
        answers.sections.push_back(
            {section.rowCount, section.rowCount2, section.labelWidth2, section.textWidth2});
    }
    answers.columnWidths.reserve(card.columns.size());
    for (const ColumnHead& column : card.columns) answers.columnWidths.push_back(column.width);
    return answers;
}

void restoreAnswers(Card& card, const CardAnswers& answers) {
    if (answers.lines.size() != card.lines.size() ||
        answers.sections.size() != card.sections.size() ||
        answers.columnWidths.size() != card.columns.size())
        return;
    card.rows = answers.rows;
    card.rowsReplaced();
    card.auctions = answers.auctions;
    card.auctionHead1 = answers.auctionHeads[0];
    card.auctionHead2 = answers.auctionHeads[1];
    card.auctionHead3 = answers.auctionHeads[2];
    for (size_t i = 0; i < card.lines.size(); ++i) {
        card.lines[i].firstRow = answers.lines[i].firstRow;
        card.lines[i].rowCount = answers.lines[i].rowCount;
    }
    for (size_t i = 0; i < card.sections.size(); ++i) {
        Section& section = card.sections[i];
        section.rowCount = answers.sections[i].rowCount;
        section.rowCount2 = answers.sections[i].rowCount2;
        section.labelWidth2 = answers.sections[i].labelWidth2;
        section.textWidth2 = answers.sections[i].textWidth2;
    }
    for (size_t i = 0; i < card.columns.size(); ++i)
        card.columns[i].width = answers.columnWidths[i];
}

}  // namespace zqw
