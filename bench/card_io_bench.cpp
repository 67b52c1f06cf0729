// Card file reading and resaving at 1k, 10k, 100k and 1M rows, against the
// plain copies of the same bytes measured in the same run:
//   cat     reading the file to its end in 128 KiB pieces and dropping the
//           bytes, what `cat FILE > /dev/null` does, in process;
//   read    reading the file into the card (Card::readCardFile);
//   cp+sync reading the file and writing a new one, then flushing it to
//           disk, what `cp FILE NEW && sync` does for that file, in process;
//   resave  reading the card and saving it under a new name, with the
//           flush every save makes (what `zqwcce-cli resave` does).
// Every run is a fresh process, as the command line and opening the first
// card are: a process that had already held a large card and let it go
// would find the memory for the next one at hand, which a real read does
// not. Each process times its copy first and then the card, so other work
// on a shared machine, which comes and goes, falls on both alike; a figure
// is the median of its runs. "cpu x" compares the processor time the two
// took, which other work on the machine does not lengthen. The file is in
// the page cache for all of them. "memory" is how much the process's peak
// resident memory grows while it reads the card, against the file's size.
// Run by hand, not a test.
//
//     card_io_bench [FOLDER]    (the card files are written there; default /tmp)

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "benchsupport.h"
#include "card/card.h"
#include "card/plainnotes.h"

namespace {

using bench::catFile;
using bench::median;
using bench::processorMilliseconds;

using Clock = std::chrono::steady_clock;

constexpr int kLines = 100;

// A template of one section whose grid has three columns and kLines lines.
std::string benchTemplate() {
    std::string bytes = "FBench\r\nPAnswers\r\nC3204040\r\nHBid|Meaning|Notes|\r\n";
    for (int i = 0; i < kLines; ++i) {
        bytes += 'O';
        bytes += std::to_string(i);
        bytes += "\r\n";
    }
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
            std::string text = "\t";
            text += std::to_string(k);
            text += "\x03\tForcing one round\tsee note\t";
            row.text = text;
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

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool copyAndSync(const std::string& from, const std::string& to) {
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) return false;
    const bool ok = catFile(from, out) && ::fsync(out) == 0;
    return ::close(out) == 0 && ok;
}

long statusKilobytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key) + 1));
    }
    return -1;
}

// One run in a fresh process (this program started again with --run): for
// "read", the cat and read times and the memory growth; for "resave", the
// cp+sync and resave times. Prints them with the rows read, or nothing when
// something failed.
int runOnce(const std::string& kind, const std::string& path, const std::string& copy) {
    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    card.parseTemplate(benchTemplate());
    card.resetToBlankCard();
    bool copied = catFile(path);  // the bytes in the page cache for both
    // The processor clock is asked outside the wall clock's span: asking it
    // is a system call, which would lengthen the copy of a small file.
    double processorStart = processorMilliseconds();
    auto start = Clock::now();
    copied = (kind == "read" ? catFile(path) : copyAndSync(path, copy)) && copied;
    const double baseline = millisecondsSince(start);
    const double baselineProcessor = processorMilliseconds() - processorStart;
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    const long before = statusKilobytes("VmRSS:");
    processorStart = processorMilliseconds();
    start = Clock::now();
    card.cardFileName = path;
    card.readCardFile();
    bool saved = true;
    if (kind == "resave") {
        card.cardFileName = copy;
        saved = card.writeCardFile();
    }
    const double work = millisecondsSince(start);
    const double workProcessor = processorMilliseconds() - processorStart;
    const long grown = (statusKilobytes("VmHWM:") - before) * 1024;
    if (!copied || !saved || !messages.messages.empty()) return 1;
    std::printf("%.6f %.6f %.6f %.6f %ld %zu\n", baseline, work, baselineProcessor, workProcessor,
                grown, card.rows.size() - 1);
    return 0;
}

struct Run {
    double baseline = 0;
    double work = 0;
    double baselineProcessor = 0;
    double workProcessor = 0;
    long memory = 0;
    size_t rows = 0;
};

// Starts this program again for one run and reads what it prints.
bool startRun(const char* self, const char* kind, const std::string& path, const std::string& copy,
              Run& run) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execl(self, self, "--run", kind, path.c_str(), copy.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string text;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
    ::close(pipeFds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return false;
    }
    return std::sscanf(text.c_str(), "%lf %lf %lf %lf %ld %zu", &run.baseline, &run.work,
                       &run.baselineProcessor, &run.workProcessor, &run.memory, &run.rows) == 6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--run") return runOnce(argv[2], argv[3], argv[4]);
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string stem = folder + "/card_io_bench-" + std::to_string(::getpid());
    const std::string path = stem + ".ccf";
    const std::string copy = stem + "-copy.ccf";
    const char* self = "/proc/self/exe";

    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    card.parseTemplate(benchTemplate());

    std::printf("%8s %10s %8s %8s %7s %6s %8s %8s %7s %9s %6s %8s\n", "rows", "file bytes",
                "cat ms", "read ms", "read x", "cpu x", "cp+sync", "resave", "save x", "memory MB",
                "mem x", "us/row");
    for (const int rows : {1000, 10000, 100000, 1000000}) {
        // Enough runs that the small cards are timed over a while as well,
        // and never fewer than eleven reads and seven saves for a median.
        const int runs = std::max(11, 100000 / rows);
        const int saves = std::max(7, 10000 / rows);
        fillRows(card, rows);
        card.cardFileName = path;
        if (!card.writeCardFile()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        const size_t size = card.cardFileBytes().size();
        std::vector<double> cats, reads, catProcessor, readProcessor, memories, cps, resaves;
        for (int i = 0; i < std::max(runs, saves); ++i) {
            for (const std::string kind : {"read", "resave"}) {
                const bool reading = kind == "read";
                if (i >= (reading ? runs : saves)) continue;
                Run run;
                if (!startRun(self, kind.c_str(), path, copy, run) ||
                    run.rows != static_cast<size_t>(rows)) {
                    std::fprintf(stderr, "a %s run failed or read %zu rows\n", kind.c_str(),
                                 run.rows);
                    return 1;
                }
                (reading ? cats : cps).push_back(run.baseline);
                (reading ? reads : resaves).push_back(run.work);
                if (reading) {
                    catProcessor.push_back(run.baselineProcessor);
                    readProcessor.push_back(run.workProcessor);
                    memories.push_back(static_cast<double>(run.memory));
                }
            }
        }
        const double cat = median(cats);
        const double read = median(reads);
        const double cp = median(cps);
        const double resave = median(resaves);
        const double memory = median(memories);
        const double processor = median(readProcessor) / median(catProcessor);
        std::printf("%8d %10zu %8.3f %8.3f %7.2f %6.2f %8.3f %8.3f %7.2f %9.1f %6.2f %8.3f\n", rows,
                    size, cat, read, read / cat, processor, cp, resave, resave / cp,
                    memory / 1048576.0, memory / static_cast<double>(size), read * 1000 / rows);
    }
    ::unlink(path.c_str());
    ::unlink(copy.c_str());
    return 0;
}
