// The card file, read against a small template with every kind of section
// (parsed once, so each run reads only the card): whatever the bytes, a card
// that is read holds together, and writing it and reading that back gives
// a card of the same shape, whose file then stays the same.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "card/card.h"
#include "card/plainnotes.h"
#include "fuzzsupport.h"

namespace {

constexpr const char* kTemplate = ZQW_SOURCE_DIR "/tests/fuzz/cardfile.sel";

zqw::Card& bundledCard() { return parsedCard(kTemplate); }

// A second card of the same template, for reading the bytes from a file.
zqw::Card& fileCard(zqw::MessageList*& messagesOut) {
    static zqw::MessageList messages;
    static zqw::PlainNotes notes;
    static zqw::Card* card = [] {
        auto* made = new zqw::Card(messages, notes);
        ZQW_FUZZ_REQUIRE(made->parseTemplateFile(kTemplate));
        return made;
    }();
    messages.messages.clear();
    messagesOut = &messages;
    return *card;
}

// A card file is read from disk a piece at a time, with a search of its own
// for where records end (64 bytes at a time, across the pieces' edges): it
// must find the records the reading of the same bytes in memory finds. The
// header's notes name is dropped first, so that the file read opens nothing
// else.
void requireFileReadAlike(std::string_view data) {
    std::string bytes(data);
    if (bytes.compare(0, 6, "ZQW1.0") == 0) {
        const size_t cr = bytes.find('\r');
        bytes.erase(6, (cr == std::string::npos ? bytes.size() : cr) - 6);
    }
    zqw::Card& fromBytes = bundledCard();
    const bool whole = fromBytes.readCardBytes(bytes);
    if (!whole) fromBytes.resetToBlankCard();

    const int fd = memfd_create("card", MFD_CLOEXEC);
    ZQW_FUZZ_REQUIRE(fd >= 0);
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        ZQW_FUZZ_REQUIRE(n > 0);
        done += static_cast<size_t>(n);
    }
    zqw::MessageList* messages = nullptr;
    zqw::Card& fromFile = fileCard(messages);
    fromFile.cardFileName = "/proc/self/fd/" + std::to_string(fd);
    fromFile.readCardFile();
    close(fd);
    ZQW_FUZZ_REQUIRE(messages->messages.empty() == whole);
    ZQW_FUZZ_REQUIRE(fromFile.cardFileBytes() == fromBytes.cardFileBytes());
}

// Every line's chain is as long as its count and every section counts its
// lines' rows, so the windows can walk the card.
void requireWholeCard(const zqw::Card& card) {
    const int rowTotal = static_cast<int>(card.rows.size());
    const auto lineRows = [&](int first, int count) {
        int sum = 0;
        for (int i = first; i < first + count; ++i) {
            const zqw::TemplateLine& line = card.lines.at(static_cast<size_t>(i));
            ZQW_FUZZ_REQUIRE(line.rowCount >= 0);
            ZQW_FUZZ_REQUIRE(line.firstRow > 0 && line.firstRow < rowTotal);
            int row = line.firstRow;
            int previous = 0;
            for (int k = 0; k < line.rowCount; ++k) {
                ZQW_FUZZ_REQUIRE(row > 0 && row < rowTotal);
                ZQW_FUZZ_REQUIRE(card.rows[static_cast<size_t>(row)].prevRow == previous);
                previous = row;
                row = card.rows[static_cast<size_t>(row)].nextRow;
            }
            sum += line.rowCount;
        }
        return sum;
    };
    for (const zqw::Section& form : card.sections) {
        if (form.columnCount != 0)
            ZQW_FUZZ_REQUIRE(lineRows(form.firstLine, form.lineCount) == form.rowCount);
        if (form.hasGrid2)
            ZQW_FUZZ_REQUIRE(lineRows(form.firstLine2, form.lineCount2) == form.rowCount2);
    }
    for (int head : {card.auctionHead1, card.auctionHead2, card.auctionHead3})
        ZQW_FUZZ_REQUIRE(head > 0 && head < static_cast<int>(card.auctions.size()));
}

// The shape of the answers: the row counts and the auction chains' lengths.
std::vector<int> rowCounts(const zqw::Card& card) {
    std::vector<int> counts;
    for (const zqw::TemplateLine& line : card.lines) counts.push_back(line.rowCount);
    for (const zqw::Section& form : card.sections) {
        counts.push_back(form.rowCount);
        counts.push_back(form.rowCount2);
    }
    // An auction no chain reaches is not written, so only the chains count.
    for (int head : {card.auctionHead1, card.auctionHead2, card.auctionHead3}) {
        int length = 0;
        for (int a = head; a > 0 && length <= static_cast<int>(card.auctions.size());
             a = card.auctions[static_cast<size_t>(a)].nextRow) {
            ++length;
        }
        counts.push_back(length);
    }
    return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    requireFileReadAlike(std::string_view(reinterpret_cast<const char*>(data), size));
    zqw::Card& card = bundledCard();
    if (!card.readCardBytes(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    requireWholeCard(card);
    const std::vector<int> shape = rowCounts(card);
    // A text read from a record without "#" may be one character longer
    // than one read after the "#" the writer puts in, so the first write
    // may shorten it; from then on the file stays the same.
    const std::string written = card.cardFileBytes();
    ZQW_FUZZ_REQUIRE(card.readCardBytes(written));
    requireWholeCard(card);
    ZQW_FUZZ_REQUIRE(rowCounts(card) == shape);
    const std::string again = card.cardFileBytes();
    ZQW_FUZZ_REQUIRE(card.readCardBytes(again));
    ZQW_FUZZ_REQUIRE(card.cardFileBytes() == again);
    return 0;
}
