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
    const int lineCount = static_cast<int>(card.lines.size());
    const auto chainLength = [&card](const TemplateLine& line) {
        int length = 0;
        int previous = 0;
        for (int row = line.firstRow; row != 0 && length <= line.rowCount;
             row = card.rows[row].nextRow) {
            if (row < 0 || row >= static_cast<int>(card.rows.size())) return -1;
            if (card.rows[row].prevRow != previous) return -2;
            previous = row;
            ++length;
        }
        return length;
    };
    for (size_t s = 0; s < card.sections.size(); ++s) {
        const Section& form = card.sections[s];
        const auto sumRows = [&](int first, int count, const char* grid) {
            int sum = 0;
            for (int i = 0; i < count; ++i) {
                if (first + i <= 0 || first + i >= lineCount) {
                    problems << "section " << s << " " << grid << " line out of range\n";
                    return 0;
                }
                const TemplateLine& line = card.lines[first + i];
                if (line.rowCount < 0) problems << "negative row count\n";
                if (line.rowCount > 0 && chainLength(line) != line.rowCount) {
                    problems << "section " << s << " line " << first + i << " chain "
                             << chainLength(line) << " rows, count " << line.rowCount << "\n";
                }
                sum += line.rowCount;
            }
            return sum;
        };
        if (form.columnCount != 0) {
            const int sum = sumRows(form.firstLine, form.lineCount, "grid 1");
            if (sum != form.rowCount)
                problems << "section " << s << " RowCount " << form.rowCount << " != " << sum
                         << "\n";
        }
        if (form.hasGrid2) {
            const int sum = sumRows(form.firstLine2, form.lineCount2, "grid 2");
            if (sum != form.rowCount2) problems << "section " << s << " RowCount2\n";
        }
    }
    for (int head : {card.auctionHead1, card.auctionHead2, card.auctionHead3}) {
        if (head <= 0 || head >= static_cast<int>(card.auctions.size()))
            problems << "auction head\n";
    }
    return problems.str();
}

std::string mutate(const std::string& good, std::mt19937& random) {
    std::string bytes = good;
    const auto pick = [&random](size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random);
    };
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
                bytes.insert(pick(bytes.size() + 1),
                             std::string(1 + pick(40), static_cast<char>(pick(256))));
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
        ASSERT_FALSE(card.groups.empty());
        EXPECT_EQ(card.groups.size(), card.tabCaptions.size());
        card.resetToBlankCard();
        ASSERT_EQ(brokenInvariants(card), "") << "round " << round;
        // Whatever shape the template had, a blank card survives its file.
        const std::string bytes = card.cardFileBytes();
        card.cardFileName = dir.path("blank.ccf");
        ASSERT_TRUE(card.writeCardFile());
        card.readCardFile();
        ASSERT_EQ(brokenInvariants(card), "") << "round " << round;
        ASSERT_EQ(card.cardFileBytes(), bytes) << "round " << round;
    }
}

TEST(DamagedInput, MutatedCardFilesReadIntoAWholeCard) {
    test::TempDir dir;
    CardFixture source(bundledTemplate());
    Card& card = source.card;
    card.resetToBlankCard();
    for (size_t r = 1; r < card.rows.size(); ++r)
        card.rows[r].text = "\tanswer " + std::to_string(r) + "\t";
    card.rows[3].noteNo = 12;
    const std::string good = card.cardFileBytes();

    CardFixture reader(bundledTemplate());
    std::mt19937 random(7);
    const std::string path = dir.path("damaged.ccf");
    for (int round = 0; round < 400; ++round) {
        test::writeFile(path, mutate(good, random));
        reader.card.cardFileName = path;
        reader.card.readCardFile();
        ASSERT_EQ(brokenInvariants(reader.card), "") << "round " << round;
        ASSERT_TRUE(reader.card.isOpen);
        ASSERT_TRUE(reader.card.notesOpen);
        // Every visible row can be found.
        reader.messages.messages.clear();
        for (int s = 0; s < static_cast<int>(reader.card.sections.size()); ++s) {
            const Section& form = reader.card.sections[s];
            if (form.columnCount == 0) continue;
            for (int row = 1; row <= form.rowCount; ++row) reader.card.findGridRow(s, 1, row);
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
    ASSERT_FALSE(f.card.groups.empty());
    EXPECT_FALSE(f.messages.messages.empty());

    CardFixture g(bundledTemplate());
    g.card.cardFileName = dir.path("garbage.ccf");
    test::writeFile(g.card.cardFileName, garbage);
    g.card.readCardFile();
    EXPECT_EQ(g.messages.messages,
              std::vector<std::string>{dir.path("garbage.ccf") + " has Invalid file content"});
    EXPECT_EQ(brokenInvariants(g.card), "");

    // A device that never ends is refused instead of read for ever.
    g.card.cardFileName = "/dev/zero";
    g.card.readCardFile();
    EXPECT_EQ(g.messages.messages.back(), "/dev/zero file not found");
}

}  // namespace
}  // namespace zqw
