// Inputs far larger than any real card, template or notes: reading them
// stays within bounded memory, and a limit that is hit is said. How their
// reading time grows with their size is measured by bench/huge_inputs_bench.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "card/customprompts.h"
#include "card/filelimits.h"
#include "card/hintsfile.h"
#include "card/notesformat.h"
#include "hugeinputs.h"
#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;
using namespace hugeinputs;

// Resident memory in kB from /proc/self/status.
long statusValue(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key) + 1));
    }
    return -1;
}

// AddressSanitizer keeps freed memory aside and adds its own, so memory
// figures mean nothing under it; the limits are still checked there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryMeasured = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryMeasured = false;
#else
constexpr bool kMemoryMeasured = true;
#endif
#else
constexpr bool kMemoryMeasured = true;
#endif

// How much the peak resident memory grows while work runs, in bytes (0
// where it cannot be measured).
struct Cost {
    long bytes = 0;
};

template <typename Work>
Cost costOf(Work work) {
    // Writing 5 resets the peak to the present size.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = statusValue("VmRSS:");
    work();
    Cost cost;
    cost.bytes = kMemoryMeasured ? (statusValue("VmHWM:") - before) * 1024 : 0;
    return cost;
}

class HugeInputs : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(HugeInputs, ACardOfAMillionRowsReadsAndOneMoreIsDamage) {
    CardFixture f(oneLineTemplate());
    f.card.cardFileName = dir.path("big.ccf");
    test::writeFile(f.card.cardFileName, cardOfRows(kMostCardRows));
    f.card.readCardFile();
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(f.card.rows.size(), kMostCardRows + 1);
    EXPECT_EQ(f.card.sections[0].rowCount, static_cast<int>(kMostCardRows));

    test::writeFile(f.card.cardFileName, cardOfRows(kMostCardRows + 1));
    const std::string path = f.card.cardFileName;
    f.card.readCardFile();
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{path + " has Invalid file content"});
    EXPECT_EQ(f.card.rows.size(), 2u);  // a blank card
}

TEST_F(HugeInputs, RowsSpreadOverManyLinesAreCountedTogether) {
    // 1100 lines of 999 rows each: no line is suspicious on its own.
    CardFixture f(spreadTemplate());
    f.card.cardFileName = dir.path("spread.ccf");
    test::writeFile(f.card.cardFileName, spreadRows(1100));
    const Cost cost = costOf([&f] { f.card.readCardFile(); });
    EXPECT_EQ(f.messages.messages,
              std::vector<std::string>{dir.path("spread.ccf") + " has Invalid file content"});
    // A million row records at most, whatever the file's size.
    EXPECT_LT(cost.bytes, 160L << 20);
}

TEST_F(HugeInputs, ACraftedFiftyMegabyteCardCostsLittle) {
    // Empty rows cost one byte each in the file; read naively, these would
    // take gigabytes.
    CardFixture f(oneLineTemplate());
    f.card.cardFileName = dir.path("crafted.ccf");
    const size_t size = 50u << 20;
    test::writeFile(f.card.cardFileName, cardOfRows(size - 20));
    const Cost cost = costOf([&f] { f.card.readCardFile(); });
    EXPECT_EQ(f.messages.messages,
              std::vector<std::string>{dir.path("crafted.ccf") + " has Invalid file content"});
    EXPECT_LT(cost.bytes, static_cast<long>(3 * size));
}

TEST_F(HugeInputs, LinesOfMegabytesAreCutToTheFieldLimit) {
    CardFixture f(crlf({"FG", "PS", "C195", "L10"}));
    std::string bytes = "ZQW1.0" + std::string(4 << 20, 'n') + "\r\n$95\r\n";
    for (int line = 0; line < 10; ++line)
        bytes += "1#}" + std::string(4 << 20, 'a' + line) + "\r\n";
    bytes += "*10}" + std::string(4 << 20, 'z') + "\r\n";
    f.card.cardFileName = dir.path("wide.ccf");
    test::writeFile(f.card.cardFileName, bytes);
    const Cost cost = costOf([&f] { f.card.readCardFile(); });
    EXPECT_TRUE(f.messages.messages.empty());
    for (int line = 1; line <= 10; ++line)
        EXPECT_EQ(test::rowTexts(f.card, line),
                  std::vector<std::string>{std::string(511, 'a' + line - 1)});
    EXPECT_EQ(f.card.auctions[f.card.auctionHead1].text, std::string(80, 'z'));
    EXPECT_LT(cost.bytes, static_cast<long>(3 * bytes.size()));
}

TEST_F(HugeInputs, TemplateLinesAreLimited) {
    // Exactly at the limit: 1010 records of 99 lines and one of 10.
    std::string bytes = crlf({"FG", "PS", "C195"});
    for (int i = 0; i < 1010; ++i) bytes += "L99\r\n";
    bytes += "L10\r\n";
    CardFixture atLimit(bytes);
    EXPECT_TRUE(atLimit.messages.messages.empty());
    EXPECT_EQ(atLimit.card.lines.size() - 1, kMostTemplateLines);

    // Half a megabyte of such records would make ten million lines: one
    // message, and the rest of the file is not read.
    const std::string flood = templateFlood(512u << 10);
    CardFixture* parsed = nullptr;
    const Cost cost = costOf([&] { parsed = new CardFixture(flood); });
    std::unique_ptr<CardFixture> f(parsed);
    EXPECT_EQ(f->messages.messages,
              std::vector<std::string>{
                  "zqw.sel has Invalid file content: more than 100000 template lines"});
    EXPECT_EQ(f->card.lines.size() - 1, 99990u);
    EXPECT_EQ(f->card.groups.size(), 2u);  // the group after it is not read
    EXPECT_LT(cost.bytes, 128L << 20);
    // A blank card of the largest template stays in bounds as well.
    f->card.resetToBlankCard();
    EXPECT_EQ(f->card.rows.size() - 1, 99990u);
}

// A file one byte past a reader's limit, made sparse: it costs no disk.
void makeSparse(const std::string& path, uint64_t size) {
    std::ofstream(path) << "ZQW1.0\r\n";
    std::filesystem::resize_file(path, size);
}

struct OversizeCase {
    const char* name;
    size_t limit;
    // Reads the file at path into a card whose answers and shape are set;
    // true when the reader refused it.
    bool (*read)(CardFixture& f, const std::string& path);
    // The message: before and after the path.
    std::string before;
    std::string after;
};

void PrintTo(const OversizeCase& c, std::ostream* os) { *os << c.name; }

class OversizeFiles : public ::testing::TestWithParam<OversizeCase> {};

TEST_P(OversizeFiles, AreRefusedUnreadAndTheCardStaysAsItWas) {
    test::TempDir dir;
    const OversizeCase& c = GetParam();
    const std::string path = dir.path("big");
    makeSparse(path, uint64_t{c.limit} + 1);

    CardFixture f(crlf({"FG", "PS", "C195", "OA"}));
    f.card.resetToBlankCard();
    f.card.cardFileName = dir.path("current.ccf");
    f.card.rows[1].text = "kept";
    bool refused = false;
    const Cost cost = costOf([&] { refused = c.read(f, path); });
    EXPECT_TRUE(refused);
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{c.before + path + c.after});
    EXPECT_EQ(f.card.rows[1].text, "kept");
    EXPECT_EQ(f.card.lines.size(), 2u);
    EXPECT_EQ(f.card.cardFileName, dir.path("current.ccf"));
    EXPECT_LT(cost.bytes, 16L << 20);  // nothing of it was read
}

INSTANTIATE_TEST_SUITE_P(
    Files, OversizeFiles,
    ::testing::Values(OversizeCase{"card", kMostCardFileBytes,
                                   [](CardFixture& f, const std::string& path) {
                                       const std::string current = f.card.cardFileName;
                                       f.card.cardFileName = path;
                                       const bool read = f.card.readCardFile();
                                       // The caller names the file before a read and
                                       // takes its name back when the file is refused.
                                       if (!read) f.card.cardFileName = current;
                                       return !read;
                                   },
                                   "", " was not opened: larger than 256 MB"},
                      OversizeCase{"template", kMostTemplateBytes,
                                   [](CardFixture& f, const std::string& path) {
                                       return !f.card.parseTemplateFile(path);
                                   },
                                   "", " was not read: larger than 16 MB"},
                      OversizeCase{"custom_prompts", kMostCustomPromptsBytes,
                                   [](CardFixture& f, const std::string& path) {
                                       return !readCustomPromptsFile(path, SuitChars{}, f.messages);
                                   },
                                   "Cannot open file ", ": larger than 4 MB"},
                      OversizeCase{"hints", kMostHintsBytes,
                                   [](CardFixture& f, const std::string& path) {
                                       return !HintsFile::load(path, f.messages);
                                   },
                                   "Cannot open file ", ": larger than 4 MB"}),
    [](const auto& info) { return std::string(info.param.name); });

struct NotesCase {
    const char* name;
    void (*make)(const std::string& path);
    std::string problem;
};

void PrintTo(const NotesCase& c, std::ostream* os) { *os << c.name; }

class HugeNotes : public ::testing::TestWithParam<NotesCase> {};

TEST_P(HugeNotes, AreRefusedWithTheLimitAndTheCardDropsTheLink) {
    test::TempDir dir;
    const std::string notes = dir.path("notes.txt");
    GetParam().make(notes);
    PlainNotes plain;
    const Cost cost = costOf([&] { EXPECT_FALSE(plain.loadFile(notes)); });
    EXPECT_LT(cost.bytes, 3L * static_cast<long>(kMostNotesBytes));
    EXPECT_EQ(notesFileProblem(notes), GetParam().problem);

    CardFixture f(crlf({"FG", "PS", "C195", "OA"}));
    f.card.cardFileName = dir.path("card.ccf");
    test::writeFile(f.card.cardFileName, "ZQW1.0" + notes + "\r\n");
    f.card.readCardFile();
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Unable to load the notes file " +
                                                            notes + ": " + GetParam().problem});
    // The card no longer links the notes, so a save cannot write the empty
    // buffer over them.
    EXPECT_EQ(f.card.notesFileName, "");
    EXPECT_EQ(f.notes.text(), "");
    EXPECT_TRUE(f.card.isOpen);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HugeNotes,
    ::testing::Values(NotesCase{"hundred_megabytes",
                                [](const std::string& path) {
                                    std::ofstream(path) << "Note:..1:\r\n";
                                    std::filesystem::resize_file(path, 100u << 20);
                                },
                                "larger than 32 MB"},
                      NotesCase{"too_many_lines",
                                [](const std::string& path) {
                                    test::writeFile(path, std::string(kMostNotesLines, '\n'));
                                },
                                "more than 1000000 lines"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HugeNotesLimit, NotesAtTheLimitLoad) {
    test::TempDir dir;
    const std::string notes = dir.path("notes.txt");
    test::writeFile(notes, std::string(kMostNotesLines - 1, '\n'));
    PlainNotes plain;
    EXPECT_TRUE(plain.loadFile(notes));
    EXPECT_EQ(plain.paragraphs().size(), kMostNotesLines);
}

}  // namespace
}  // namespace zqw
