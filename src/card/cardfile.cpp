// The card file: header with the linked notes file, column widths, the rows
// of every template line in template order, and the recorded auctions. The
// file has no counts of its own; the template says how many line groups
// follow, and each group's first record says how many rows it has.

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// A row count the file cannot back with records of its own only fabricates
// blank rows; past this it is damage, not a short file.
constexpr int kMostFabricatedRows = 999;
// Nothing in the editor makes auctions; files hold three. A flood of them
// is damage, and holding it would only exhaust memory.
constexpr size_t kMostAuctions = 100000;

template <typename Out>
void appendTwoDigits(Out& out, int width) {
    width = std::clamp(width, 0, 99);
    out += static_cast<char>('0' + width / 10);
    out += static_cast<char>('0' + width % 10);
}

template <typename Out>
void appendNumber(Out& out, int number) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out += std::string_view(digits, static_cast<size_t>(end - digits));
}

// Whether any byte of word equals the byte in every position of repeated.
bool anyByteIs(uint64_t word, uint64_t repeated) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighBits = 0x8080808080808080ULL;
    const uint64_t differs = word ^ repeated;
    return ((differs - kOnes) & ~differs & kHighBits) != 0;
}

// Texts almost never hold a CR or Ctrl-Z: eight bytes are checked at a time.
bool holdsCrOrCtrlZ(std::string_view text) {
    constexpr uint64_t kCrs = 0x0D0D0D0D0D0D0D0DULL;
    constexpr uint64_t kCtrlZs = 0x1A1A1A1A1A1A1A1AULL;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        if (anyByteIs(word, kCrs) || anyByteIs(word, kCtrlZs)) return true;
    }
    for (; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == 26) return true;
    }
    return false;
}

// A CR would end the record early on reading and a Ctrl-Z the whole file,
// losing everything after it: inside a text they are written as spaces. A
// lone LF is data (only an LF right after a CR belongs to the line end), and
// stored auctions hold it, so it is written as it was read.
template <typename Out>
void appendRecordText(Out& out, std::string_view text) {
    if (!holdsCrOrCtrlZ(text)) {
        out += text;
        return;
    }
    for (const char c : text) out += c == '\r' || c == 26 ? ' ' : c;
}

// Where c first is in text: a plain loop, since the count and note it ends
// are a few bytes long, where a library search costs more to set up.
size_t findShort(std::string_view text, char c) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == c) return i;
    }
    return std::string_view::npos;
}

// Whether the record starts with the tag, a count and "#": a few bytes,
// compared here where a library call would cost more than the comparison.
bool startsWithTag(std::string_view record, std::string_view tag) {
    if (record.size() < tag.size()) return false;
    for (size_t i = 0; i < tag.size(); ++i) {
        if (record[i] != tag[i]) return false;
    }
    return true;
}

struct NoteAndText {
    int noteNo = 0;
    std::string_view text;
};

// A note number: nearly always a few plain digits, read here; anything
// else (blanks, a sign, many digits) goes the general way. Results are
// given through out, as a returned std::optional costs a stall per record.
bool parseNoteNumber(std::string_view field, int& out) {
    if (field.empty() || field.size() > 9) {
        const auto parsed = parseDecimal(field, true);
        out = parsed.value_or(0);
        return parsed.has_value();
    }
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') {
            const auto parsed = parseDecimal(field, true);
            out = parsed.value_or(0);
            return parsed.has_value();
        }
        value = value * 10 + (c - '0');
    }
    out = value;
    return true;
}

// Splits "note}text" (the part of a record after its "#" or chain tag). A
// "}" at the first position means no note; without "}" all is text. False
// when the note is not a number.
bool splitNote(std::string_view rest, size_t textLimit, NoteAndText& out) {
    out.noteNo = 0;
    if (!rest.empty() && rest[0] == '}') {
        out.text = rest.substr(1, textLimit);
        return true;
    }
    const size_t brace = findShort(rest, '}');
    if (brace == std::string_view::npos) {
        out.text = rest.substr(0, textLimit);
        return true;
    }
    if (!parseNoteNumber(rest.substr(0, brace), out.noteNo)) return false;
    out.text = rest.substr(brace + 1, textLimit);
    return true;
}

// The places of the CRs among the 64 bytes from p, as bits from the lowest.
uint64_t crBits(const char* p) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
        const auto found = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)));
        bits |= uint64_t{found} << (16 * i);
    }
    return bits;
#else
    uint64_t bits = 0;
    for (int i = 0; i < 64; ++i) bits |= uint64_t{p[i] == '\r'} << i;
    return bits;
#endif
}

// The records of a card file read straight from the file a piece at a time,
// so reading holds no copy of the whole file beside the card it makes. A
// record ends at CR (an LF right after it belongs to the line end); Ctrl-Z
// ends the file. A record is a view valid until the next one is asked for.
//
// The CRs are found 64 bytes at a time as a word of bits, one per byte, and
// each record takes the lowest bit left: records are a few dozen bytes, and
// a search started anew for each would cost a call and a mispredicted exit
// per record, more than the record's own parsing.
class FileRecords {
public:
    FileRecords(int fd, size_t fileSize) : fd_(fd), unread_(fileSize) {
        // A small file needs no more room than its own bytes, whose pages
        // would otherwise be paid for untouched.
        grow(std::min(kPiece, fileSize + 1));
    }

    bool failed() const { return failed_; }

    std::string_view nextView(std::string_view substitute) {
        // Most records end at a CR already found, with bytes after it.
        if (bits_ != 0 && !skipLineFeed_) return take(scanned_ + takeLowestBit());
        return nextViewReadingOn(substitute);
    }

    // Bytes not read yet, an upper bound.
    size_t remainingBytes() const { return end_ - pos_ + unread_; }

private:
    size_t takeLowestBit() {
        const auto bit = static_cast<size_t>(std::countr_zero(bits_));
        bits_ &= bits_ - 1;
        return bit;
    }

    // The record from pos_ to the CR at cr, and the line end passed.
    std::string_view take(size_t cr) {
        const std::string_view record(buffer_.get() + pos_, cr - pos_);
        pos_ = cr + 1;
        if (pos_ < end_) {
            if (buffer_[pos_] == '\n') ++pos_;
        } else {
            skipLineFeed_ = true;
        }
        return record;
    }

    std::string_view nextViewReadingOn(std::string_view substitute) {
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (pos_ == end_) fill();
            if (pos_ < end_ && buffer_[pos_] == '\n') ++pos_;
        }
        size_t cr = 0;
        if (findCr(cr)) return take(cr);
        if (pos_ == end_) return substitute;
        const std::string_view record(buffer_.get() + pos_, end_ - pos_);
        pos_ = end_;
        return record;
    }

    // The next CR at or after pos_, reading on as needed; false when the
    // file ends first.
    bool findCr(size_t& cr) {
        for (;;) {
            if (bits_ != 0) {
                cr = scanned_ + takeLowestBit();
                return true;
            }
            if (scanned_ + 64 < end_) {
                scanned_ += 64;
                bits_ = bitsAt(scanned_);
                continue;
            }
            if (!fill()) return false;
        }
    }

    // The CRs among the 64 bytes from at that are bytes of the file.
    uint64_t bitsAt(size_t at) const {
        const uint64_t bits = crBits(buffer_.get() + at);
        const size_t valid = end_ - at;
        return valid >= 64 ? bits : bits & ((uint64_t{1} << valid) - 1);
    }

    // Moves what is left to the front and reads more after it; false at the
    // end of the file (Ctrl-Z, the end, or a read error). What was left holds
    // no CR, so the search goes on from its end.
    bool fill() {
        if (ended_) return false;
        const size_t left = end_ - pos_;
        if (pos_ > 0) {
            std::memmove(buffer_.get(), buffer_.get() + pos_, left);
            pos_ = 0;
            end_ = left;
        }
        // A record longer than the buffer makes it grow; records are
        // otherwise short, so the buffer stays at its first size. There is
        // always room for one more byte, or the end could not be told from
        // a full buffer; a file longer than its size said (one that grows,
        // or a system file that gives no size) is read in whole pieces.
        const size_t wanted = longerThanSaid_ ? kPiece / 2 : std::min(kPiece / 2, unread_ + 1);
        if (capacity_ - end_ < wanted) grow(2 * capacity_);
        // A file that grows while it is read is read no further than a card
        // file may be long.
        const size_t room = std::min(capacity_ - end_, kMostCardFileBytes - readBytes_);
        ssize_t n = 0;
        do {
            n = room > 0 ? ::read(fd_, buffer_.get() + end_, room) : 0;
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            failed_ = n < 0;
            ended_ = true;
            bits_ = 0;
            scanned_ = end_;
            return false;
        }
        const size_t got = static_cast<size_t>(n);
        if (got > unread_) longerThanSaid_ = true;
        unread_ -= std::min(unread_, got);
        readBytes_ += got;
        const void* ctrlZ = std::memchr(buffer_.get() + end_, 26, got);
        if (ctrlZ) {
            ended_ = true;
            end_ = static_cast<const char*>(ctrlZ) - buffer_.get();
        } else {
            end_ += got;
        }
        scanned_ = left;
        bits_ = scanned_ < end_ ? bitsAt(scanned_) : 0;
        return true;
    }

    // Room for capacity bytes, and past them the rest of a 64-byte word
    // the search may load but never counts.
    void grow(size_t capacity) {
        auto bigger = std::make_unique<char[]>(capacity + 64);
        if (buffer_) std::memcpy(bigger.get(), buffer_.get(), end_);
        buffer_ = std::move(bigger);
        capacity_ = capacity;
    }

    static constexpr size_t kPiece = size_t{1} << 18;

    int fd_;
    size_t unread_;
    size_t readBytes_ = 0;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
    size_t pos_ = 0;
    size_t end_ = 0;
    // The 64 bytes from scanned_ have been searched; bits_ holds the CRs
    // among them not yet taken.
    size_t scanned_ = 0;
    uint64_t bits_ = 0;
    bool skipLineFeed_ = false;
    bool ended_ = false;
    bool failed_ = false;
    bool longerThanSaid_ = false;
};

}  // namespace

// What a read produces before it replaces the card's answers, so a damaged
// file found half way leaves nothing half replaced.
struct CardReadResult {
    std::string noteFileName;
    std::optional<std::vector<int>> widths;
    std::vector<RowText> rows{RowText{}};
    std::vector<std::pair<int, int>> lineRows;  // per lines entry: firstRow, rowCount
    std::vector<std::pair<int, int>> sectionRows;
    std::vector<RowText> auctions{RowText{}};
    int heads[3] = {0, 0, 0};
};

namespace {

// The rows of a large card, and the bytes of its file, fill megabytes at
// once: large pages for them spare a page fault every few dozen rows. Only
// room not written yet is advised, so nothing already there moves.
void adviseLargePages(const void* from, const void* to) {
    constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
    const auto start = reinterpret_cast<uintptr_t>(from);
    const auto end = reinterpret_cast<uintptr_t>(to);
    const uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t last = end & ~(kLargePage - 1);
    if (last > first) (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

template <typename Records>
class CardReader {
public:
    // mostRecords bounds the records the bytes can hold: room made for
    // that many rows at once spares the copies of a growing list.
    CardReader(const Card& card, Records& records, size_t mostRecords, size_t size)
        : card_(card), records_(records), mostRecords_(mostRecords), texts_(size) {}

    // False when the content is damaged.
    bool read(CardReadResult& out) {
        out.rows.reserve(std::min(mostRecords_, kMostCardRows) + 1);
        adviseLargePages(out.rows.data() + out.rows.size(), out.rows.data() + out.rows.capacity());
        out.lineRows.assign(card_.lines.size(), {0, 0});
        for (size_t i = 0; i < card_.lines.size(); ++i) {
            out.lineRows[i] = {card_.lines[i].firstRow, card_.lines[i].rowCount};
        }
        const std::string header(records_.nextView(""));
        if (header.size() < 6 || header.compare(0, 3, "ZQW") != 0 ||
            header.compare(3, 3, "1.0") != 0) {
            return false;
        }
        out.noteFileName = header.substr(6, kMostNoteNameBytes);

        current_ = records_.nextView("1#} ");
        if (!current_.empty() && current_[0] == '$') {
            std::vector<int> widths;
            size_t pos = 1;
            for (size_t c = 1; c < card_.columns.size(); ++c, pos += 2) {
                const auto width =
                    parseDecimal(pos < current_.size() ? current_.substr(pos, 2) : "", false);
                if (!width) return false;
                widths.push_back(*width);
            }
            out.widths = widths;
            current_ = records_.nextView("1#} ");
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
    bool readLineGroup(CardReadResult& out, int lineIndex, int& rowCounter) {
        if (lineIndex <= 0 || lineIndex >= static_cast<int>(out.lineRows.size())) return false;
        const int firstRow = static_cast<int>(out.rows.size());
        const size_t hash = findShort(current_, '#');
        int count = 1;
        std::string_view rest = current_;
        if (hash != std::string_view::npos) {
            const auto parsed = parseDecimal(current_.substr(0, hash), false);
            if (!parsed) return false;
            count = *parsed;
            rest = current_.substr(hash + 1);
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
        // current_ may still show the substitute of the line before, but it
        // has been read to the end.
        substitute_ = std::to_string(count) + "#} ";
        // Every record of a line starts with the same count as its tag.
        const std::string_view tag =
            std::string_view(substitute_).substr(0, substitute_.size() - 2);
        current_ = records_.nextView(substitute_);
        if (count > 1) {
            out.rows[firstRow].nextRow = firstRow + 1;
            for (int k = 1; k < count; ++k) {
                const int index = static_cast<int>(out.rows.size());
                rowCounter += 1;
                std::string_view text = current_;
                if (startsWithTag(current_, tag)) {
                    text.remove_prefix(tag.size());
                } else {
                    const size_t h = findShort(current_, '#');
                    if (h != std::string_view::npos) text.remove_prefix(h + 1);
                }
                if (!appendRow(out, text, index - 1)) return false;
                out.rows[index].nextRow = index + 1;
                current_ = records_.nextView(substitute_);
            }
            out.rows.back().nextRow = 0;
        }
        if (count == 0) rowCounter -= 1;
        out.lineRows[lineIndex] = {firstRow, count};
        return true;
    }

    bool appendRow(CardReadResult& out, std::string_view rest, int prevRow) {
        NoteAndText split;
        if (!splitNote(rest.substr(0, kRowTextLimit), std::string_view::npos, split)) return false;
        RowText& row = out.rows.emplace_back();
        row.text = texts_.add(split.text);
        row.noteNo = split.noteNo;
        row.prevRow = prevRow;
        return true;
    }

    bool readAuctions(CardReadResult& out) {
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
            const std::string_view rest = current_.size() > 2 ? current_.substr(2) : "";
            NoteAndText split;
            if (!splitNote(rest, kAuctionTextLimit, split)) return false;
            RowText auction;
            auction.text = texts_.add(split.text);
            auction.noteNo = split.noteNo;
            auction.prevRow = startsChain ? 0 : previous;
            if (!startsChain) out.auctions[previous].nextRow = index;
            out.auctions.push_back(std::move(auction));
            previous = index;
            current_ = records_.nextView("end");
        }
        return true;
    }

    const Card& card_;
    Records& records_;
    size_t mostRecords_ = 0;
    RowString::Blocks texts_;
    // The record being read: a view into the file's bytes, valid until the
    // next record is asked for, or of a substitute (a literal or substitute_).
    std::string_view current_;
    std::string substitute_;
};

// The card file's records, written to out: a std::string, or a
// PieceWriter that hands them on a piece at a time.
template <typename Out>
void appendCardRecords(const Card& card, Out& out) {
    out += "ZQW1.0";
    appendRecordText(out, card.notesFileName);
    out += "\r\n$";
    for (size_t c = 1; c < card.columns.size(); ++c) appendTwoDigits(out, card.columns[c].width);
    out += "\r\n";

    const RowText empty;
    const auto writeLine = [&card, &out, &empty](int lineIndex) {
        const TemplateLine& line = card.lines.at(lineIndex);
        if (line.rowCount <= 0) {
            out += "0#\r\n";
            return;
        }
        // Every record of the line starts with the same count.
        char countTag[16];
        char* const countEnd = std::to_chars(countTag, countTag + 15, line.rowCount).ptr;
        *countEnd = '#';
        const std::string_view tag(countTag, static_cast<size_t>(countEnd + 1 - countTag));
        int row = line.firstRow;
        for (int k = 0; k < line.rowCount; ++k) {
            // A chain shorter than its count would shift every later line;
            // an empty row keeps the records in step.
            const bool valid = row > 0 && row < static_cast<int>(card.rows.size());
            const RowText& text = valid ? card.rows[row] : empty;
            out += tag;
            if (text.noteNo != 0) appendNumber(out, text.noteNo);
            out += '}';
            appendRecordText(out, text.text);
            out += "\r\n";
            row = valid ? text.nextRow : 0;
        }
    };
    for (const Section& form : card.sections) {
        if (form.columnCount != 0) {
            for (int i = 0; i < form.lineCount; ++i) writeLine(form.firstLine + i);
        }
        if (form.hasGrid2) {
            for (int i = 0; i < form.lineCount2; ++i) writeLine(form.firstLine2 + i);
        }
    }

    const int heads[3] = {card.auctionHead1, card.auctionHead2, card.auctionHead3};
    for (int chain = 0; chain < 3; ++chain) {
        int index = heads[chain];
        size_t guard = 0;
        while (index > 0 && index < static_cast<int>(card.auctions.size()) &&
               guard++ < card.auctions.size()) {
            const RowText& auction = card.auctions[index];
            out += '*';
            out += static_cast<char>('1' + chain);
            appendNumber(out, auction.noteNo);
            out += '}';
            appendRecordText(out, auction.text);
            out += "\r\n";
            index = auction.nextRow;
        }
    }
}

// Collects records into pieces of a fixed size for a sink, so a save holds
// no second copy of a large card in memory.
class PieceWriter {
public:
    explicit PieceWriter(const PieceSink& sink) : sink_(sink) { buffer_.reserve(2 * kPiece); }
    PieceWriter& operator+=(std::string_view bytes) {
        buffer_ += bytes;
        if (buffer_.size() >= kPiece) flush();
        return *this;
    }
    PieceWriter& operator+=(char c) {
        buffer_ += c;
        return *this;
    }
    // Hands on what is collected; false once the sink has refused a piece.
    bool flush() {
        if (ok_ && !buffer_.empty()) ok_ = sink_(buffer_);
        buffer_.clear();
        return ok_;
    }

private:
    static constexpr size_t kPiece = size_t{1} << 18;
    const PieceSink& sink_;
    std::string buffer_;
    bool ok_ = true;
};

}  // namespace

std::string Card::cardFileBytes() const {
    // One pass over the texts sizes the buffer, so writing never regrows it.
    size_t estimate = 32 + notesFileName.size() + 2 * columns.size();
    for (const RowText& row : rows) estimate += row.text.size() + 20;
    for (const RowText& auction : auctions) estimate += auction.text.size() + 20;
    std::string out;
    out.reserve(estimate);
    adviseLargePages(out.data(), out.data() + out.capacity());
    appendCardRecords(*this, out);
    return out;
}

bool Card::writeCardFile() {
    const auto produce = [this](const PieceSink& sink) {
        PieceWriter out(sink);
        appendCardRecords(*this, out);
        return out.flush();
    };
    if (!writeFileAtomicallyInPieces(cardFileName, produce)) {
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
    RecordReader records(bytes);
    const size_t mostRecords =
        static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\r')) + 1;
    CardReadResult result;
    if (!CardReader<RecordReader>(*this, records, mostRecords, bytes.size()).read(result))
        return false;
    takeAnswers(std::move(result));
    return true;
}

void Card::takeAnswers(CardReadResult&& result) {
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
}

bool Card::readCardFile() { return readCardFileWith(nullptr); }

bool Card::readPackagedCardFile(const std::vector<std::string>& extractedNotes) {
    return readCardFileWith(&extractedNotes);
}

bool Card::readCardFileWith(const std::vector<std::string>* extractedNotes) {
    const std::string fileName = cardFileName;
    const auto blank = [this](const std::string& message) {
        messages_.showMessage(message);
        resetToBlankCard();
        notes_.startEmpty();
        notesOpen = true;
    };
    // Opened without blocking and checked to be a regular file, so a pipe
    // or device named as a card cannot hang the editor.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd >= 0) ::close(fd);
        blank(fileName + " file not found");
        return true;
    }
    const size_t size = static_cast<size_t>(info.st_size);
    if (size > kMostCardFileBytes) {
        ::close(fd);
        // Not a card anyone wrote: the card on screen stays as it is.
        messages_.showMessage(fileName +
                              " was not opened: " + fileTooLargeReason(kMostCardFileBytes));
        return false;
    }
    FileRecords records(fd, size);
    CardReadResult result;
    // A record is at least its CR: the file's size bounds the rows.
    const bool read = CardReader<FileRecords>(*this, records, size + 1, size).read(result);
    ::close(fd);
    if (records.failed()) {
        blank(fileName + " file not found");
        return true;
    }
    if (!read) {
        blank(fileName + " has Invalid file content");
        return true;
    }
    takeAnswers(std::move(result));
    isOpen = true;
    isModified = false;

    openLinkedNotes(fileName, extractedNotes);
    notesOpen = true;
    isOpen = true;
    isNoCard = false;
    return true;
}

}  // namespace zqw
