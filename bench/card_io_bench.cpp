// Card file reading and resaving at 1k, 10k, 100k and 1M rows, against the
// plain copies of the same bytes measured in the same run:
//   cat     reading the file to its end in 128 KiB pieces and dropping the
//           bytes, what `cat FILE > /dev/null` does, in process;
//   read    reading the file into the card (Card::readCardFile);
//   cp+sync reading the file and writing a new one, then flushing it to
//           disk, what `cp FILE NEW && sync` does for that file, in process;
//   resave  reading the card and saving it under a new name, with the
//           flush every save makes (what `zqwcce-cli resave` does).
// "memory" is how much a fresh process's peak resident memory grows while it
// reads the card, against the file's size. The file is in the page cache for
// all of them; each read starts from a blank card. Run by hand, not a test.
//
//     card_io_bench [FOLDER]    (the card files are written there; default /tmp)

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
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

// The same with an untimed step before each run.
template <typename Setup, typename Work>
double millisecondsPerRun(int runs, Setup setup, Work work) {
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        setup();
        total += millisecondsPerRun(1, work);
    }
    return total / runs;
}

// Reads the file to its end and drops the bytes; false on an error.
bool catFile(const std::string& path, int out = -1) {
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    static char buffer[128 << 10];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (out >= 0 && ::write(out, buffer, static_cast<size_t>(n)) != n) {
            ok = false;
            break;
        }
    }
    ::close(in);
    return ok;
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

// The growth of a fresh process's peak resident memory while it reads the
// card, in bytes; -1 when it cannot be measured.
long readingMemory(const std::string& path) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        zqw::MessageList messages;
        zqw::PlainNotes notes;
        zqw::Card card(messages, notes);
        card.parseTemplate(benchTemplate());
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
        const long before = statusKilobytes("VmRSS:");
        card.cardFileName = path;
        card.readCardFile();
        const long grown = (statusKilobytes("VmHWM:") - before) * 1024;
        const ssize_t written = ::write(pipeFds[1], &grown, sizeof grown);
        ::_exit(written == sizeof grown ? 0 : 1);
    }
    ::close(pipeFds[1]);
    long grown = -1;
    if (child < 0 || ::read(pipeFds[0], &grown, sizeof grown) != sizeof grown) grown = -1;
    ::close(pipeFds[0]);
    if (child > 0) ::waitpid(child, nullptr, 0);
    return grown;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string stem = folder + "/card_io_bench-" + std::to_string(::getpid());
    const std::string path = stem + ".ccf";
    const std::string copy = stem + "-copy.ccf";

    zqw::MessageList messages;
    zqw::PlainNotes notes;
    zqw::Card card(messages, notes);
    card.parseTemplate(benchTemplate());

    std::printf("%8s %10s %8s %8s %7s %8s %8s %7s %9s %6s %8s\n", "rows", "file bytes", "cat ms",
                "read ms", "read x", "cp+sync", "resave", "save x", "memory MB", "mem x", "us/row");
    for (const int rows : {1000, 10000, 100000, 1000000}) {
        // Enough runs that the small cards are timed over a while as well.
        const int runs = std::max(3, 200000 / rows);
        const int saves = std::max(3, 20000 / rows);
        fillRows(card, rows);
        card.cardFileName = path;
        if (!card.writeCardFile()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        const size_t size = card.cardFileBytes().size();
        bool copied = true;
        const double cat = millisecondsPerRun(runs, [&] { copied = catFile(path) && copied; });
        // Each read and resave starts from a blank card, as the command line
        // and opening the first card do; the rows a read replaces are
        // released before the clock starts.
        const auto blank = [&card] { card.resetToBlankCard(); };
        const double read = millisecondsPerRun(runs, blank, [&] {
            card.cardFileName = path;
            card.readCardFile();
        });
        const double cp =
            millisecondsPerRun(saves, [&] { copied = copyAndSync(path, copy) && copied; });
        bool saved = true;
        const double resave = millisecondsPerRun(saves, blank, [&] {
            card.cardFileName = path;
            card.readCardFile();
            card.cardFileName = copy;
            saved = card.writeCardFile() && saved;
        });
        if (!copied || !saved || !messages.messages.empty() ||
            card.rows.size() != static_cast<size_t>(rows) + 1) {
            std::fprintf(stderr, "read back %zu rows: %s\n", card.rows.size() - 1,
                         messages.messages.empty() ? "" : messages.messages.front().c_str());
            return 1;
        }
        const long memory = readingMemory(path);
        std::printf("%8d %10zu %8.3f %8.3f %7.2f %8.3f %8.3f %7.2f %9.1f %6.2f %8.3f\n", rows, size,
                    cat, read, read / cat, cp, resave, resave / cp, memory / 1048576.0,
                    static_cast<double>(memory) / static_cast<double>(size), read * 1000 / rows);
    }
    ::unlink(path.c_str());
    ::unlink(copy.c_str());
    return 0;
}
