// The card file: header with the linked notes file, column widths, the rows
// of every template line in template order, and the recorded auctions. The
// file has no counts of its own; the template says how many line groups
// follow, and each group's first record says how many rows it has.

#include <algorithm>
#include <charconv>
#include <optional>

#include "card/card.h"
#include "card/cardfileheader.h"
#include "card/decimal.h"
#include "card/filelimits.h"
#include "card/notesformat.h"
#include "card/textfile.h"

namespace zqw {

namespace {

constexpr size_t kRowTextLimit = 512;
constexpr size_t kAuctionTextLimit = 80;
constexpr size_t kNoteNameLimit = 512;
// A row count the file cannot back with records of its own only fabricates
// blank rows; past this it is damage, not a short file.
constexpr int kMostFabricatedRows = 999;
// Nothing in the editor makes auctions; files hold three. A flood of them
// is damage, and holding it would only exhaust memory.
constexpr size_t kMostAuctions = 100000;

void appendTwoDigits(std::string& out, int width) {
    width = std::clamp(width, 0, 99);
    out += static_cast<char>('0' + width / 10);
    out += static_cast<char>('0' + width % 10);
}

void appendNumber(std::string& out, int number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end);
}

// A CR would end the record early on reading and a Ctrl-Z the whole file,
// losing everything after it: inside a text they are written as spaces. A
// lone LF is data (only an LF right after a CR belongs to the line end), and
// stored auctions hold it, so it is written as it was read.
void appendRecordText(std::string& out, std::string_view text) {
    const size_t start = out.size();
    out.append(text);
    for (size_t i = start; i < out.size(); ++i) {
        char& c = out[i];
        if (c == '\r' || c == 26) c = ' ';
    }
}

struct NoteAndText {
    int noteNo = 0;
    std::string text;
};

// Splits "note}text" (the part of a record after its "#" or chain tag). A
// "}" at the first position means no note; without "}" all is text.
std::optional<NoteAndText> splitNote(std::string_view rest, size_t textLimit) {
    const size_t brace = rest.find('}');
    NoteAndText result;
    if (brace == std::string_view::npos) {
        result.text = std::string(rest.substr(0, textLimit));
        return result;
    }
    if (brace > 0) {
        const auto note = parseDecimal(rest.substr(0, brace), true);
        if (!note) return std::nullopt;
        result.noteNo = *note;
    }
    result.text = std::string(rest.substr(brace + 1, textLimit));
    return result;
}

// What a read produces before it replaces the card's answers, so a damaged
// file found half way leaves nothing half replaced.
struct ReadResult {
    std::string noteFileName;
    std::optional<std::vector<int>> widths;
    std::vector<RowText> rows{RowText{}};
    std::vector<std::pair<int, int>> lineRows;  // per lines entry: firstRow, rowCount
    std::vector<std::pair<int, int>> sectionRows;
    std::vector<RowText> auctions{RowText{}};
    int heads[3] = {0, 0, 0};
};

class CardReader {
public:
    CardReader(const Card& card, std::string_view bytes)
        : card_(card), records_(bytes), recordCount_(countRecords(bytes)) {}

    // False when the content is damaged.
    bool read(ReadResult& out) {
        // A row per record at most, unless the file ends early: room made
        // at once spares the copies of a growing list.
        out.rows.reserve(std::min(recordCount_, kMostCardRows) + 1);
        out.lineRows.assign(card_.lines.size(), {0, 0});
        for (size_t i = 0; i < card_.lines.size(); ++i) {
            out.lineRows[i] = {card_.lines[i].firstRow, card_.lines[i].rowCount};
        }
        const std::string header(records_.nextView(""));
        if (header.size() < 6 || header.compare(0, 3, "ZQW") != 0 ||
            header.compare(3, 3, "1.0") != 0) {
            return false;
        }
        out.noteFileName = header.substr(6, kNoteNameLimit);

        current_.assign(records_.nextView("1#} "));
        if (!current_.empty() && current_[0] == '$') {
            std::vector<int> widths;
            size_t pos = 1;
            for (size_t c = 1; c < card_.columns.size(); ++c, pos += 2) {
                const auto width = parseDecimal(
                    pos < current_.size() ? std::string_view(current_).substr(pos, 2) : "", false);
                if (!width) return false;
                widths.push_back(*width);
            }
            out.widths = widths;
            current_.assign(records_.nextView("1#} "));
        }

        for (const Section& form : card_.sections) {
            int rowCount = 0;
            int rowCount2 = 0;
            if (form.columnCount != 0) {
                rowCount = form.lineCount;
                for (int i = 0; i < form.lineCount; ++i) {
                    if (!readLineGroup(out, form.firstLine + i, rowCount)) return false;
                }
            }
            if (form.hasGrid2) {
                rowCount2 = form.lineCount2;
                for (int i = 0; i < form.lineCount2; ++i) {
                    if (!readLineGroup(out, form.firstLine2 + i, rowCount2)) return false;
                }
            }
            out.sectionRows.emplace_back(rowCount, rowCount2);
        }
        return readAuctions(out);
    }

private:
    bool readLineGroup(ReadResult& out, int lineIndex, int& rowCounter) {
        if (lineIndex <= 0 || lineIndex >= static_cast<int>(out.lineRows.size())) return false;
        const int firstRow = static_cast<int>(out.rows.size());
        const size_t hash = current_.find('#');
        int count = 1;
        std::string_view rest = current_;
        if (hash != std::string::npos) {
            const auto parsed = parseDecimal(std::string_view(current_).substr(0, hash), false);
            if (!parsed) return false;
            count = *parsed;
            rest = std::string_view(current_).substr(hash + 1);
        }
        if (count > kMostFabricatedRows &&
            static_cast<size_t>(count) - 1 > records_.remainingBytes()) {
            return false;
        }
        // Every row costs a record in memory however little it costs in
        // the file: a card past the limit is damage, not answers.
        if (static_cast<size_t>(std::max(count, 1)) > kMostCardRows + 1 - out.rows.size())
            return false;
        if (!appendRow(out, rest, 0)) return false;
        const std::string substitute = std::to_string(count) + "#} ";
        current_.assign(records_.nextView(substitute));
        if (count > 1) {
            out.rows[firstRow].nextRow = firstRow + 1;
            for (int k = 1; k < count; ++k) {
                const int index = static_cast<int>(out.rows.size());
                rowCounter += 1;
                const size_t h = current_.find('#');
                const std::string_view text = h == std::string::npos
                                                  ? std::string_view(current_)
                                                  : std::string_view(current_).substr(h + 1);
                if (!appendRow(out, text, index - 1)) return false;
                out.rows[index].nextRow = index + 1;
                current_.assign(records_.nextView(substitute));
            }
            out.rows.back().nextRow = 0;
        }
        if (count == 0) rowCounter -= 1;
        out.lineRows[lineIndex] = {firstRow, count};
        return true;
    }

    static bool appendRow(ReadResult& out, std::string_view rest, int prevRow) {
        auto split = splitNote(rest.substr(0, kRowTextLimit), std::string_view::npos);
        if (!split) return false;
        RowText& row = out.rows.emplace_back();
        row.text = std::move(split->text);
        row.noteNo = split->noteNo;
        row.prevRow = prevRow;
        return true;
    }

    bool readAuctions(ReadResult& out) {
        if (current_.empty() || current_[0] != '*')
            return true;  // defaults are added by the caller
        int previous = 0;
        while (!current_.empty() && current_[0] == '*') {
            if (out.auctions.size() > kMostAuctions) return false;
            const int index = static_cast<int>(out.auctions.size());
            int chain = -1;
            if (current_.size() >= 2 && current_[1] >= '1' && current_[1] <= '3')
                chain = current_[1] - '1';
            bool startsChain = false;
            if (chain >= 0 && out.heads[chain] == 0) {
                out.heads[chain] = index;
                startsChain = true;
            } else if (previous == 0) {
                startsChain = true;  // an unknown first tag starts a chain no head reaches
            }
            const std::string_view rest =
                current_.size() > 2 ? std::string_view(current_).substr(2) : "";
            const auto split = splitNote(rest, kAuctionTextLimit);
            if (!split) return false;
            RowText auction;
            auction.text = split->text;
            auction.noteNo = split->noteNo;
            auction.prevRow = startsChain ? 0 : previous;
            if (!startsChain) out.auctions[previous].nextRow = index;
            out.auctions.push_back(auction);
            previous = index;
            current_.assign(records_.nextView("end"));
        }
        return true;
    }

    static size_t countRecords(std::string_view bytes) {
        return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\r')) + 1;
    }

    const Card& card_;
    RecordReader records_;
    size_t recordCount_ = 0;
    std::string current_;
};

}  // namespace

std::string Card::cardFileBytes() const {
    // One pass over the texts sizes the buffer, so writing never regrows it.
    size_t estimate = 32 + notesFileName.size() + 2 * columns.size();
    for (const RowText& row : rows) estimate += row.text.size() + 20;
    for (const RowText& auction : auctions) estimate += auction.text.size() + 20;
    std::string out;
    out.reserve(estimate);

    out += "ZQW1.0";
    appendRecordText(out, notesFileName);
    out += "\r\n$";
    for (size_t c = 1; c < columns.size(); ++c) appendTwoDigits(out, columns[c].width);
    out += "\r\n";

    const RowText empty;
    const auto writeLine = [this, &out, &empty](int lineIndex) {
        const TemplateLine& line = lines.at(lineIndex);
        if (line.rowCount <= 0) {
            out += "0#\r\n";
            return;
        }
        int row = line.firstRow;
        for (int k = 0; k < line.rowCount; ++k) {
            // A chain shorter than its count would shift every later line;
            // an empty row keeps the records in step.
            const bool valid = row > 0 && row < static_cast<int>(rows.size());
            const RowText& text = valid ? rows[row] : empty;
            appendNumber(out, line.rowCount);
            out += '#';
            if (text.noteNo != 0) appendNumber(out, text.noteNo);
            out += '}';
            appendRecordText(out, text.text);
            out += "\r\n";
            row = valid ? text.nextRow : 0;
        }
    };
    for (const Section& form : sections) {
        if (form.columnCount != 0) {
            for (int i = 0; i < form.lineCount; ++i) writeLine(form.firstLine + i);
        }
        if (form.hasGrid2) {
            for (int i = 0; i < form.lineCount2; ++i) writeLine(form.firstLine2 + i);
        }
    }

    const int heads[3] = {auctionHead1, auctionHead2, auctionHead3};
    for (int chain = 0; chain < 3; ++chain) {
        int index = heads[chain];
        size_t guard = 0;
        while (index > 0 && index < static_cast<int>(auctions.size()) &&
               guard++ < auctions.size()) {
            const RowText& auction = auctions[index];
            out += '*';
            out += static_cast<char>('1' + chain);
            appendNumber(out, auction.noteNo);
            out += '}';
            appendRecordText(out, auction.text);
            out += "\r\n";
            index = auction.nextRow;
        }
    }
    return out;
}

bool Card::writeCardFile() {
    if (!writeFileAtomically(cardFileName, cardFileBytes())) {
        messages_.showMessage("Unable to write to the file " + cardFileName);
        return false;
    }
    if (!notesFileName.empty() && notesOpen) {
        if (!notes_.saveFile(notesFileName)) {
            // The card is safe; the notes are not, so the card keeps asking
            // to be saved.
            messages_.showMessage("Cannot create file " + notesFileName);
            return false;
        }
    }
    isModified = false;
    return true;
}

bool Card::readCardBytes(std::string_view bytes) {
    ReadResult result;
    if (!CardReader(*this, bytes).read(result)) return false;

    notesFileName = result.noteFileName;
    if (result.widths) {
        for (size_t c = 1; c < columns.size(); ++c) columns[c].width = (*result.widths)[c - 1];
    }
    rows = std::move(result.rows);
    rowsReplaced();
    for (size_t i = 0; i < lines.size(); ++i) {
        lines[i].firstRow = result.lineRows[i].first;
        lines[i].rowCount = result.lineRows[i].second;
    }
    for (size_t s = 0; s < sections.size(); ++s) {
        sections[s].rowCount = result.sectionRows[s].first;
        sections[s].rowCount2 = result.sectionRows[s].second;
    }
    auctions = std::move(result.auctions);
    auctionHead1 = result.heads[0];
    auctionHead2 = result.heads[1];
    auctionHead3 = result.heads[2];
    appendMissingAuctionChains();
    return true;
}

void Card::readCardFile() {
    const std::string fileName = cardFileName;
    const auto blank = [this](const std::string& message) {
        messages_.showMessage(message);
        resetToBlankCard();
        notes_.startEmpty();
        notesOpen = true;
    };
    const auto bytes = readRegularFile(fileName);
    if (!bytes) {
        blank(fileName + " file not found");
        return;
    }
    if (!readCardBytes(*bytes)) {
        blank(fileName + " has Invalid file content");
        return;
    }
    isOpen = true;
    isModified = false;

    if (notesFileName.empty()) {
        notes_.startEmpty();
    } else if (!notes_.loadFile(notesFileName)) {
        const std::string moved = notesBesideCard(fileName, notesFileName);
        if (!moved.empty() && notes_.loadFile(moved)) {
            notesFileName = moved;
            isModified = true;
        } else {
            // A notes file that is there but cannot be loaded (too large,
            // unreadable) is not missing: the card drops its link, so the
            // user must hear why.
            for (const std::string& candidate : {notesFileName, moved}) {
                const std::string problem = candidate.empty() ? "" : notesFileProblem(candidate);
                if (!problem.empty()) {
                    messages_.showMessage("Unable to load the notes file " + candidate + ": " +
                                          problem);
                    break;
                }
            }
            notes_.startEmpty();
            notesFileName.clear();
        }
    }
    notesOpen = true;
    isOpen = true;
    isNoCard = false;
}

}  // namespace zqw
