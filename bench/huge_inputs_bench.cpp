// Reading inputs far larger than any real card or template, each at two
// sizes, one four times the other, against reading the same bytes and
// dropping them (cat), measured in the same run:
//   spread rows    a card whose 1100 (4400) lines of 999 rows each pass the
//                  card's row limit only together;
//   crafted card   12.5 (50) MB of one-byte empty rows under one line;
//   template flood 512 KiB (2 MiB) of line records past the template limit.
// "x cat" is the read against cat of the same file; "4x/1x" is the larger
// read against the smaller. Work that stops at a limit stays near 1, work in
// step with the file near 4, and work that grows faster than the file (a
// rescan per row, say) near 16 or more. Times are the processor time this
// process took (user and system), which other work on a shared machine does
// not lengthen; each is the median of a few runs. Run by hand, not a test.
//
//     huge_inputs_bench [FOLDER]    (the input files go there; default /tmp)

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "benchsupport.h"
#include "card/card.h"
#include "card/plainnotes.h"
#include "hugeinputs.h"

namespace {

using bench::catFile;
using bench::processorMilliseconds;
using namespace zqw::hugeinputs;

constexpr int kRuns = 5;

// The median processor time of kRuns runs, in milliseconds.
double medianMilliseconds(const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const double start = processorMilliseconds();
        work();
        times.push_back(processorMilliseconds() - start);
    }
    return bench::median(times);
}

struct Case {
    const char* name;
    std::function<std::string(int scale)> make;
    // Reads the file at path as the editor would.
    std::function<void(const std::string& path)> read;
};

void readCard(const std::string& templateBytes, const std::string& path) {
    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    card.parseTemplate(templateBytes);
    card.cardFileName = path;
    card.readCardFile();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/huge_inputs_bench-" + std::to_string(::getpid());
    const std::string spreadLines = spreadTemplate();
    const std::string oneLine = oneLineTemplate();
    const Case cases[] = {
        {"spread rows", [](int scale) { return spreadRows(1100 * scale); },
         [&](const std::string& p) { readCard(spreadLines, p); }},
        {"crafted card",
         [](int scale) {
             return cardOfRows((size_t{50} << 20) / 4 * static_cast<size_t>(scale) - 20);
         },
         [&](const std::string& p) { readCard(oneLine, p); }},
        {"template flood",
         [](int scale) { return templateFlood((size_t{512} << 10) * static_cast<size_t>(scale)); },
         [](const std::string& p) {
             zqw::MessageList messages;
             zqw::PlainNotes notes;
             zqw::Card card(messages, notes);
             card.parseTemplateFile(p);
         }},
    };

    std::printf("%-15s %5s %11s %9s %9s %7s %7s\n", "input", "scale", "file bytes", "cat ms",
                "read ms", "x cat", "4x/1x");
    for (const Case& c : cases) {
        double smaller = 0;
        for (const int scale : {1, 4}) {
            const std::string bytes = c.make(scale);
            std::ofstream(path, std::ios::binary) << bytes;
            const double cat = medianMilliseconds([&] { catFile(path); });
            const double read = medianMilliseconds([&] { c.read(path); });
            if (scale == 1) {
                smaller = read;
                std::printf("%-15s %5d %11zu %9.2f %9.2f %7.1f %7s\n", c.name, scale, bytes.size(),
                            cat, read, read / cat, "");
            } else {
                std::printf("%-15s %5d %11zu %9.2f %9.2f %7.1f %7.1f\n", c.name, scale,
                            bytes.size(), cat, read, read / cat, read / smaller);
            }
        }
    }
    ::unlink(path.c_str());
    return 0;
}
