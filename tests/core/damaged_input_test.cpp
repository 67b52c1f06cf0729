// Damaged templates and card files, made by mutating good ones with a fixed
// seed: none may crash or hang the reader, and every card that comes out of
// a read must still hold together (row chains, counts) so the windows can
// walk it.

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;

std::string bundledTemplate() { return test::readFile(ZQW_SOURCE_DIR "/data/zqw.sel"); }

// Empty when the card's lines, rows and sections agree with each other.
std::string brokenInvariants(const Card& card) {
    std::ostringstream problems;
    const int lineCount = static_cast<int>(card.Lines.size());
    const auto chainLength = [&card](const Aline& line) {
        int length = 0;
        int previous = 0;
        for (int row = line.FirstRow; row != 0 && length <= line.RowCount; row = card.RowTexts[row].NextRow) {
            if (row < 0 || row >= static_cast<int>(card.RowTexts.size())) return -1;
            if (card.RowTexts[row].PrevRow != previous) return -2;
            previous = row;
            ++length;
        }
        return length;
    };
    for (size_t s = 0; s < card.Sections.size(); ++s) {
        const AForm& form = card.Sections[s];
        const auto sumRows = [&](int first, int count, const char* grid) {
            int sum = 0;
            for (int i = 0; i < count; ++i) {
                if (first + i <= 0 || first + i >= lineCount) {
                    problems << "section " << s << " " << grid << " line out of range\n";
                    return 0;
                }
                const Aline& line = card.Lines[first + i];
                if (line.RowCount < 0) problems << "negative row count\n";
                if (line.RowCount > 0 && chainLength(line) != line.RowCount) {
                    problems << "section " << s << " line " << first + i << " chain " << chainLength(line)
                             << " rows, count " << line.RowCount << "\n";
                }
                sum += line.RowCount;
            }
            return sum;
        };
        if (form.ColumnCount != 0) {
            const int sum = sumRows(form.FirstLine, form.LineCount, "grid 1");
            if (sum != form.RowCount) problems << "section " << s << " RowCount " << form.RowCount << " != " << sum << "\n";
        }
        if (form.HasGrid2) {
            const int sum = sumRows(form.FirstLine2, form.LineCount2, "grid 2");
            if (sum != form.RowCount2) problems << "section " << s << " RowCount2\n";
        }
    }
    for (int head : {card.AuctionHead1, card.AuctionHead2, card.AuctionHead3}) {
        if (head <= 0 || head >= static_cast<int>(card.AuctionTexts.size())) problems << "auction head\n";
    }
    return problems.str();
}

std::string mutate(const std::string& good, std::mt19937& random) {
    std::string bytes = good;
    const auto pick = [&random](size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    const int edits = 1 + static_cast<int>(pick(6));
    for (int e = 0; e < edits; ++e) {
        switch (pick(7)) {
            case 0:  // flip a byte
                if (!bytes.empty()) bytes[pick(bytes.size())] = static_cast<char>(pick(256));
                break;
            case 1:  // cut the file short
                bytes.resize(pick(bytes.size() + 1));
                break;
            case 2:  // garbage in the middle
                bytes.insert(pick(bytes.size() + 1), std::string(1 + pick(40), static_cast<char>(pick(256))));
                break;
            case 3:  // a huge line
                bytes.insert(pick(bytes.size() + 1), std::string(70000, 'Q'));
                break;
            case 4: {  // a line repeated
                const size_t at = pick(bytes.size() + 1);
                const size_t end = bytes.find('\n', at);
                bytes.insert(at, bytes.substr(at, end == std::string::npos ? 0 : end - at + 1));
                break;
            }
            case 5:  // digits where they are read as counts
                bytes.insert(pick(bytes.size() + 1), std::to_string(pick(2000000000)) + "#");
                break;
            default:  // line ends taken away or changed
                for (char& c : bytes) {
                    if (c == '\r' && pick(8) == 0) c = '\n';
                }
                break;
        }
    }
    return bytes;
}

TEST(DamagedInput, MutatedTemplatesParseAndCarryABlankCardThroughAFile) {
    test::TempDir dir;
    const std::string good = bundledTemplate();
    std::mt19937 random(20261210);
    for (int round = 0; round < 300; ++round) {
        CardFixture f(mutate(good, random));
        Card& card = f.card;
        ASSERT_FALSE(card.Groups.empty());
        EXPECT_EQ(card.Groups.size(), card.TabCaptions.size());
        card.ResetBlankCard();
        ASSERT_EQ(brokenInvariants(card), "") << "round " << round;
        // Whatever shape the template had, a blank card survives its file.
        const std::string bytes = card.CardFileBytes();
        card.CardFileName = dir.path("blank.ccf");
        ASSERT_TRUE(card.WriteCardFile());
        card.ReadCardFile();
        ASSERT_EQ(brokenInvariants(card), "") << "round " << round;
        ASSERT_EQ(card.CardFileBytes(), bytes) << "round " << round;
    }
}

TEST(DamagedInput, MutatedCardFilesReadIntoAWholeCard) {
    test::TempDir dir;
    CardFixture source(bundledTemplate());
    Card& card = source.card;
    card.ResetBlankCard();
    for (size_t r = 1; r < card.RowTexts.size(); ++r) card.RowTexts[r].Text = "\tanswer " + std::to_string(r) + "\t";
    card.RowTexts[3].NoteNo = 12;
    const std::string good = card.CardFileBytes();

    CardFixture reader(bundledTemplate());
    std::mt19937 random(7);
    const std::string path = dir.path("damaged.ccf");
    for (int round = 0; round < 400; ++round) {
        test::writeFile(path, mutate(good, random));
        reader.card.CardFileName = path;
        reader.card.ReadCardFile();
        ASSERT_EQ(brokenInvariants(reader.card), "") << "round " << round;
        ASSERT_TRUE(reader.card.CardOpen);
        ASSERT_TRUE(reader.card.NotesOpen);
        // Every visible row can be found.
        reader.messages.messages.clear();
        for (const AForm& form : reader.card.Sections) {
            if (form.ColumnCount == 0) continue;
            for (int row = 1; row <= form.RowCount; ++row) {
                int line = form.FirstLine;
                reader.card.FindRow(row, line);
            }
        }
        ASSERT_EQ(reader.messages.messages, std::vector<std::string>{}) << "round " << round;
    }
}

TEST(DamagedInput, BinaryGarbageIsNeitherATemplateNorACard) {
    test::TempDir dir;
    std::mt19937 random(99);
    std::string garbage(200000, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    CardFixture f(garbage);
    ASSERT_FALSE(f.card.Groups.empty());
    EXPECT_FALSE(f.messages.messages.empty());

    CardFixture g(bundledTemplate());
    g.card.CardFileName = dir.path("garbage.ccf");
    test::writeFile(g.card.CardFileName, garbage);
    g.card.ReadCardFile();
    EXPECT_EQ(g.messages.messages, std::vector<std::string>{dir.path("garbage.ccf") + " has Invalid file content"});
    EXPECT_EQ(brokenInvariants(g.card), "");

    // A device that never ends is refused instead of read for ever.
    g.card.CardFileName = "/dev/zero";
    g.card.ReadCardFile();
    EXPECT_EQ(g.messages.messages.back(), "/dev/zero file not found");
}

}  // namespace
}  // namespace zqw
