// Card file write and read times at 1k, 10k, 100k and 1M rows, each with its
// ratio to the 1k figure of the same run: when they grow as the rows do, the
// ratios follow the rows ratio (10, 100, 1000). "bytes" is making the file's
// bytes alone; "write" adds writing them safely (a flush to disk, which costs
// about the same at every size); "read" is reading the file into the card.
// Run by hand, not a test.
//
//     card_io_bench [FOLDER]    (the card file is written there; default /tmp)

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "card/card.h"
#include "card/plainnotes.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLines = 100;

// A template of one section whose grid has three columns and kLines lines.
std::string benchTemplate() {
    std::string bytes = "FBench\r\nPAnswers\r\nC3204040\r\nHBid|Meaning|Notes|\r\n";
    for (int i = 0; i < kLines; ++i) bytes += "O" + std::to_string(i) + "\r\n";
    return bytes;
}

// Gives every line rows / kLines rows of typical answers.
void fillRows(zqw::Card& card, int rows) {
    card.resetToBlankCard();
    const int perLine = rows / kLines;
    for (int line = 1; line <= kLines; ++line) {
        zqw::TemplateLine& templateLine = card.lines[static_cast<size_t>(line)];
        int previous = templateLine.firstRow;
        card.rows[static_cast<size_t>(previous)].text = "\t1\x05\tNatural, 5+ cards\t";
        for (int k = 1; k < perLine; ++k) {
            zqw::RowText row;
            row.text = "\t" + std::to_string(k) + "\x03\tForcing one round\tsee note\t";
            row.noteNo = k % 7 == 0 ? k : 0;
            row.prevRow = previous;
            const int index = static_cast<int>(card.rows.size());
            card.rows.push_back(row);
            card.rows[static_cast<size_t>(previous)].nextRow = index;
            previous = index;
        }
        templateLine.rowCount = perLine;
    }
    card.sections[0].rowCount = perLine * kLines;
}

template <typename Work>
double millisecondsPerRun(int runs, Work work) {
    const auto start = Clock::now();
    for (int i = 0; i < runs; ++i) work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/card_io_bench-" + std::to_string(::getpid()) + ".ccf";

    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    card.parseTemplate(benchTemplate());

    std::printf("%9s %10s %10s %10s %8s %8s %8s %8s %11s\n", "rows", "bytes ms", "write ms",
                "read ms", "rows x", "bytes x", "write x", "read x", "file bytes");
    double first[3] = {0, 0, 0};
    for (const int rows : {1000, 10000, 100000, 1000000}) {
        // Enough runs that the small cards are timed over a while as well.
        const int runs = std::max(1, 200000 / rows);
        fillRows(card, rows);
        card.cardFileName = path;
        size_t size = 0;
        const double bytes = millisecondsPerRun(runs, [&] { size = card.cardFileBytes().size(); });
        const double write = millisecondsPerRun(runs, [&] {
            if (!card.writeCardFile()) std::fprintf(stderr, "cannot write %s\n", path.c_str());
        });
        const double read = millisecondsPerRun(runs, [&] {
            card.cardFileName = path;
            card.readCardFile();
        });
        if (!messages.messages.empty() || card.rows.size() != static_cast<size_t>(rows) + 1) {
            std::fprintf(stderr, "read back %zu rows: %s\n", card.rows.size() - 1,
                         messages.messages.empty() ? "" : messages.messages.front().c_str());
            return 1;
        }
        const double times[3] = {bytes, write, read};
        if (rows == 1000) std::copy(times, times + 3, first);
        std::printf("%9d %10.3f %10.3f %10.3f %8d %8.1f %8.1f %8.1f %11zu\n", rows, bytes, write,
                    read, rows / 1000, bytes / first[0], write / first[1], read / first[2], size);
    }
    ::unlink(path.c_str());
    return 0;
}
