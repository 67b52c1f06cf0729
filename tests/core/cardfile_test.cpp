#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;
using test::readFile;
using test::rowTexts;
using test::TempDir;
using test::writeFile;

const std::string kExampleTemplate = crlf({"FG", "PS", "C3204040", "OA", "OB"});
const std::string kBlankExample =
    test::bin("ZQW1.0\r\n$204040\r\n1#}\r\n1#}\r\n*10}\0\r\n*20}\0\r\n*30}\0\r\n");

// Grid 1 of two lines plus a grid 2 of one line, and a single-column section.
const std::string kTwoGridTemplate =
    crlf({"FG", "PS", "C3204040", "OA", "OB", "A2575", "OC", "PT", "C195", "L02"});

// Adds a row after `after` in the line's chain, as inserting a row does.
int insertRowAfter(Card& card, int lineIndex, int after, const std::string& text, int noteNo = 0) {
    const int index = static_cast<int>(card.rows.size());
    RowText row;
    row.text = text;
    row.noteNo = noteNo;
    row.prevRow = after;
    row.nextRow = card.rows[after].nextRow;
    card.rows.push_back(row);
    card.rows[after].nextRow = index;
    card.lines[lineIndex].rowCount += 1;
    card.sections[0].rowCount += 1;
    return index;
}

class CardFileTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(CardFileTest, WritesTheWorkedExampleByteForByte) {
    CardFixture f(kExampleTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    EXPECT_EQ(card.cardFileBytes(), kBlankExample);

    card.rows[1].text = "\tNatural\t";
    insertRowAfter(card, 1, 1, "\tArtificial\t", 14);
    card.cardFileName = dir.path("example.ccf");
    card.isModified = true;
    ASSERT_TRUE(card.writeCardFile());
    EXPECT_FALSE(card.isModified);
    EXPECT_EQ(readFile(card.cardFileName),
              test::bin("ZQW1.0\r\n$204040\r\n2#}\tNatural\t\r\n2#14}\tArtificial\t\r\n1#}\r\n"
                        "*10}\0\r\n*20}\0\r\n*30}\0\r\n"));
}

TEST_F(CardFileTest, RoundTripKeepsRowsNotesWidthsHiddenLinesAndAuctions) {
    CardFixture f(kTwoGridTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    card.rows[1].text = "\tx}y#z\t";  // "}" and "#" inside a text
    insertRowAfter(card, 1, 1, "\tsecond\t", 7);
    card.lines[2].rowCount = 0;  // B's only row deleted: hidden
    card.sections[0].rowCount -= 1;
    card.rows[card.lines[2].firstRow].text = "kept";
    card.rows[card.lines[3].firstRow] = RowText{"grid two", 0, 0, -3};
    card.columns[1].width = 7;
    card.columns[2].width = 99;
    card.auctions[2].text = std::string("\x21\0\x41\x02", 4);
    card.auctions[2].noteNo = 12;
    RowText more;
    more.text = std::string(1, '\0');
    more.prevRow = 3;
    card.auctions.push_back(more);
    card.auctions[3].nextRow = 4;
    card.cardFileName = dir.path("round.ccf");
    ASSERT_TRUE(card.writeCardFile());
    const std::string written = readFile(card.cardFileName);
    EXPECT_NE(written.find("$079940"), std::string::npos);
    EXPECT_NE(written.find("\r\n0#\r\n"), std::string::npos);

    CardFixture g(kTwoGridTemplate);
    Card& back = g.card;
    back.cardFileName = card.cardFileName;
    back.readCardFile();
    EXPECT_TRUE(g.messages.messages.empty());
    EXPECT_EQ(rowTexts(back, 1), (std::vector<std::string>{"\tx}y#z\t", "\tsecond\t"}));
    EXPECT_EQ(back.rows[back.rows[back.lines[1].firstRow].nextRow].noteNo, 7);
    EXPECT_EQ(back.lines[2].rowCount, 0);
    EXPECT_EQ(back.sections[0].rowCount, 2);  // three rows written, one line hidden
    EXPECT_EQ(back.sections[0].rowCount2, 1);
    EXPECT_EQ(back.rows[back.lines[3].firstRow].noteNo, -3);
    EXPECT_EQ(back.columns[1].width, 7);
    EXPECT_EQ(back.columns[2].width, 99);
    EXPECT_EQ(back.auctions[back.auctionHead2].text, std::string("\x21\0\x41\x02", 4));
    EXPECT_EQ(back.auctions[back.auctionHead2].noteNo, 12);
    const RowText& third = back.auctions[back.auctionHead3];
    ASSERT_NE(third.nextRow, 0);
    EXPECT_EQ(back.auctions[third.nextRow].prevRow, back.auctionHead3);
    EXPECT_TRUE(back.isOpen);
    EXPECT_FALSE(back.isNoCard);
    EXPECT_FALSE(back.isModified);
    EXPECT_TRUE(back.notesOpen);

    // Written again, the same bytes.
    back.cardFileName = dir.path("again.ccf");
    ASSERT_TRUE(back.writeCardFile());
    EXPECT_EQ(readFile(back.cardFileName), written);
}

struct ShortFileCase {
    const char* name;
    std::string content;
    std::vector<std::vector<std::string>> lines;  // texts of lines 1..5
    int firstWidth;                               // columns[1].width after reading
};

class ShortFiles : public ::testing::TestWithParam<ShortFileCase> {};

TEST_P(ShortFiles, FillTheRestWithSubstituteRecords) {
    TempDir dir;
    CardFixture f(kTwoGridTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    card.columns[1].width = 33;  // widths stay as they were without a widths record
    card.cardFileName = dir.path("short.ccf");
    writeFile(card.cardFileName, GetParam().content);
    card.readCardFile();
    EXPECT_TRUE(f.messages.messages.empty());
    for (int line = 1; line <= 5; ++line) {
        EXPECT_EQ(rowTexts(card, line), GetParam().lines[line - 1]) << "line " << line;
    }
    EXPECT_EQ(card.columns[1].width, GetParam().firstWidth);
    for (int head : {card.auctionHead1, card.auctionHead2, card.auctionHead3}) {
        EXPECT_EQ(card.auctions[head].text, std::string(1, '\0'));
    }
}

const std::vector<std::string> kBlank = {" "};

INSTANTIATE_TEST_SUITE_P(
    Files, ShortFiles,
    ::testing::Values(
        ShortFileCase{"header_only", "ZQW1.0\r\n", {kBlank, kBlank, kBlank, kBlank, kBlank}, 33},
        ShortFileCase{
            "widths_only", "ZQW1.0\r\n$10203095\r\n", {kBlank, kBlank, kBlank, kBlank, kBlank}, 10},
        // The file ends inside a line of two rows: its missing row and every
        // later line take the two-row substitute.
        ShortFileCase{"ends_in_a_line",
                      "ZQW1.0\r\n$10203095\r\n2#}a",
                      {{"a", " "}, {" ", " "}, {" ", " "}, {" ", " "}, {" ", " "}},
                      10},
        ShortFileCase{"cr_only_and_ctrl_z",
                      "ZQW1.0\r$10203095\r1#}one\r1#}two\r\x1A"
                      "1#}ignored\r",
                      {{"one"}, {"two"}, kBlank, kBlank, kBlank},
                      10},
        ShortFileCase{"record_without_hash",
                      "ZQW1.0\r\nplain text\r\n",
                      {{"plain text"}, kBlank, kBlank, kBlank, kBlank},
                      33}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardFileTest, NoTextCanCutTheCardFile) {
    CardFixture f(kExampleTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    // A Ctrl-Z would end the file on reading and a CR the record; a lone LF
    // is data and stays.
    card.rows[1].text = "\tone\x1Atwo\rthree\nfour\t";
    card.rows[2].text = "\tsecond line\t";
    card.auctions[card.auctionHead1].text = test::bin("\x21\r\x1A\n\0");
    card.notesFileName = "notes\r.txt";
    const std::string bytes = card.cardFileBytes();
    EXPECT_EQ(bytes, test::bin("ZQW1.0notes .txt\r\n$204040\r\n1#}\tone two three\nfour\t\r\n"
                               "1#}\tsecond line\t\r\n*10}\x21  \n\0\r\n*20}\0\r\n*30}\0\r\n"));

    ASSERT_TRUE(card.readCardBytes(bytes));
    EXPECT_EQ(rowTexts(card, 1), std::vector<std::string>{"\tone two three\nfour\t"});
    EXPECT_EQ(rowTexts(card, 2), std::vector<std::string>{"\tsecond line\t"});
    EXPECT_EQ(card.auctions[card.auctionHead3].text, std::string(1, '\0'));
}

TEST_F(CardFileTest, ReadingBytesLeavesADamagedCardAsItWas) {
    CardFixture f(kExampleTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    card.rows[1].text = "kept";
    card.notesFileName = "kept.txt";
    EXPECT_FALSE(card.readCardBytes("ZQW1.0other.txt\r\nx#}a\r\n"));
    EXPECT_EQ(card.rows[1].text, "kept");
    EXPECT_EQ(card.notesFileName, "kept.txt");
    EXPECT_TRUE(f.messages.messages.empty());
}

TEST_F(CardFileTest, LoneLineFeedIsPartOfARecord) {
    CardFixture f(kExampleTemplate);
    f.card.cardFileName = dir.path("lf.ccf");
    writeFile(f.card.cardFileName, "ZQW1.0\r\n1#}a\nb\r\n1#}c\r\n");
    f.card.readCardFile();
    EXPECT_EQ(rowTexts(f.card, 1), std::vector<std::string>{"a\nb"});
    EXPECT_EQ(rowTexts(f.card, 2), std::vector<std::string>{"c"});
}

// Cards whose texts hold bytes a record may carry: a resave writes what was
// read, byte for byte.
class ResaveKeepsTheBytes : public ::testing::TestWithParam<std::string> {};

TEST_P(ResaveKeepsTheBytes, ReadThenWrite) {
    CardFixture f(kExampleTemplate);
    f.card.resetToBlankCard();
    ASSERT_TRUE(f.card.readCardBytes(GetParam()));
    EXPECT_EQ(f.card.cardFileBytes(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    CardFileTest, ResaveKeepsTheBytes,
    ::testing::Values(kBlankExample,
                      test::bin("ZQW1.0\r\n$204040\r\n2#}a\nb\r\n2#3}\nlead\n\r\n1#}\tx\n\t\r\n"
                                "*10}\0\r\n*20}\0\r\n*30}\0\r\n"),
                      test::bin("ZQW1.0\r\n$204040\r\n1#}\r\n0#\r\n*17}\n\0\x01\n\n\r\n*10}\x02\r\n"
                                "*20}\n\r\n*30}\0\r\n"),
                      test::bin("ZQW1.0dir\nname.txt\r\n$204040\r\n1#}\n\r\n1#}\x03\x04\x05\x06\r\n"
                                "*10}\0\r\n*20}\0\r\n*30}\0\r\n")));

TEST_F(CardFileTest, AFileReadInPiecesGivesWhatItsBytesGive) {
    // Records of every length up to 700 bytes, some holding an LF, ended by
    // CR LF or a lone CR, so the pieces a file is read in end at every kind
    // of place: inside a record, between CR and LF, after the LF. A Ctrl-Z
    // far in ends the file.
    std::string bytes = "ZQW1.0\r\n$204040\r\n";
    const int rows = 3000;
    for (int line = 0; line < 2; ++line) {
        for (int k = 0; k < rows; ++k) {
            bytes += std::to_string(rows) + "#" + std::to_string(k % 5) + "}";
            bytes += std::string(static_cast<size_t>(k * 7 % 700), static_cast<char>('a' + k % 26));
            if (k % 4 == 0) bytes += "\nlf";
            bytes += k % 2 == 0 ? "\r" : "\r\n";
        }
    }
    bytes += "*10}\n\0\r\n*20}x\r\n*30}y\r\n";
    bytes += std::string(1, 26) + "1#}after the end\r\n";

    CardFixture fromBytes(kExampleTemplate);
    ASSERT_TRUE(fromBytes.card.readCardBytes(bytes));
    CardFixture fromFile(kExampleTemplate);
    fromFile.card.cardFileName = dir.path("pieces.ccf");
    writeFile(fromFile.card.cardFileName, bytes);
    fromFile.card.readCardFile();
    EXPECT_TRUE(fromFile.messages.messages.empty());
    EXPECT_EQ(fromFile.card.rows.size(), 2u * rows + 1);
    EXPECT_EQ(fromFile.card.cardFileBytes(), fromBytes.card.cardFileBytes());
    EXPECT_EQ(rowTexts(fromFile.card, 2), rowTexts(fromBytes.card, 2));
}

// A card file whose record ending at byte crAt is either one long widths
// record (longer than some reading buffers) or the last of many short rows;
// what follows that byte is set by ending.
enum class Filler { Widths, Rows };
struct BufferEdgeCase {
    size_t crAt;
    Filler filler;
    const char* ending;  // in place of the CR at crAt, and what follows
};

std::string bufferEdgeFile(const BufferEdgeCase& c) {
    std::string bytes;
    if (c.filler == Filler::Widths) {
        bytes = "ZQW1.0\r\n$204040";
        bytes += std::string(c.crAt - bytes.size(), '9');
    } else {
        bytes = "ZQW1.0\r\n$204040\r\n";
        const size_t rows = (c.crAt - bytes.size()) / 16;
        const std::string tag = std::to_string(rows) + "#}";
        for (size_t k = 1; k < rows; ++k) bytes += tag + std::string(14 - tag.size(), 'r') + "\r\n";
        bytes += tag;
        bytes += std::string(c.crAt - bytes.size(), 'l');
    }
    return bytes + c.ending;
}

TEST_F(CardFileTest, RecordsEndWhereverTheReadingBuffersEnd) {
    // The search for record ends goes 64 bytes at a time through pieces of
    // 256 KiB: the CR falls on each side of those edges, the LF after it in
    // the next piece, the file ends on the edge, or a Ctrl-Z sits there.
    const char* const endings[] = {"\r\n1#}b\r\n1#}c\r\n*10}x\r\n", "\r1#}b\r\n1#}c\r\n*10}x\r\n",
                                   "\r", "", "\x1a\r\n1#}after the end\r\n"};
    std::vector<BufferEdgeCase> cases;
    for (const size_t crAt : {62, 63, 64, 65, 127, 128, 262142, 262143, 262144}) {
        for (const Filler filler : {Filler::Widths, Filler::Rows}) {
            for (const char* ending : endings) cases.push_back({crAt, filler, ending});
        }
    }
    for (const BufferEdgeCase& c : cases) {
        SCOPED_TRACE("CR at " + std::to_string(c.crAt) +
                     (c.filler == Filler::Widths ? " after long widths" : " after rows") +
                     ", then " + ::testing::PrintToString(std::string(c.ending)));
        const std::string bytes = bufferEdgeFile(c);
        CardFixture fromBytes(kExampleTemplate);
        // Rows cut off by the end are made up from the line's count, which
        // after many rows is damage: the file then gives a blank card.
        const bool whole = fromBytes.card.readCardBytes(bytes);
        if (!whole) fromBytes.card.resetToBlankCard();
        CardFixture fromFile(kExampleTemplate);
        fromFile.card.cardFileName = dir.path("edge.ccf");
        writeFile(fromFile.card.cardFileName, bytes);
        fromFile.card.readCardFile();
        EXPECT_EQ(fromFile.messages.messages.empty(), whole);
        EXPECT_EQ(fromFile.card.cardFileBytes(), fromBytes.card.cardFileBytes());
        EXPECT_EQ(rowTexts(fromFile.card, 1), rowTexts(fromBytes.card, 1));
        EXPECT_EQ(rowTexts(fromFile.card, 2), rowTexts(fromBytes.card, 2));
    }
}

TEST_F(CardFileTest, FieldLimitsOnReading) {
    CardFixture f(kExampleTemplate);
    f.card.cardFileName = dir.path("long.ccf");
    writeFile(f.card.cardFileName, "ZQW1.0" + std::string(600, 'n') + "\r\n1#}" +
                                       std::string(600, 'r') + "\r\n1#}\r\n*10}" +
                                       std::string(100, 'a') + "\r\n");
    f.card.readCardFile();
    EXPECT_EQ(f.card.rows[1].text.size(), 511u);  // 512 after the "#", less the "}"
    EXPECT_EQ(f.card.auctions[f.card.auctionHead1].text.size(), 80u);
    EXPECT_EQ(f.messages.messages,
              std::vector<std::string>{});  // the long notes name simply is not found
    EXPECT_EQ(f.card.notesFileName, "");
}

TEST_F(CardFileTest, AuctionChainsWithOddTagsAndMissingChains) {
    CardFixture f(kExampleTemplate);
    f.card.cardFileName = dir.path("auctions.ccf");
    writeFile(f.card.cardFileName,
              "ZQW1.0\r\n1#}\r\n1#}\r\n*25}A\r\n*9}B\r\n*1}C\r\n*20}D\r\nafter\r\n*30}E\r\n");
    f.card.readCardFile();
    const Card& card = f.card;
    const auto chain = [&card](int head) {
        std::string calls;
        for (int a = head; a != 0; a = card.auctions[a].nextRow) calls += card.auctions[a].text;
        return calls;
    };
    // Unknown tags, and tags whose chain has begun, continue the chain of
    // the record before them.
    EXPECT_EQ(chain(card.auctionHead2), "AB");
    EXPECT_EQ(chain(card.auctionHead1), "CD");
    EXPECT_EQ(chain(card.auctionHead3),
              std::string(1, '\0'));  // records after the first non-"*" are ignored
    EXPECT_EQ(card.auctions[card.auctionHead2].noteNo, 5);
}

struct BadFileCase {
    const char* name;
    std::string content;
    std::string message;  // after the file name
};

class BadFiles : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFiles, GiveABlankCardAndEmptyNotes) {
    TempDir dir;
    CardFixture f(kExampleTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    card.rows[1].text = "old answer";
    card.columns[1].width = 55;
    f.notes.setText("old notes");
    const std::string path = dir.path("bad.ccf");
    if (GetParam().content != "<missing>") writeFile(path, GetParam().content);
    card.cardFileName = path;
    card.readCardFile();
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{path + GetParam().message});
    EXPECT_EQ(card.cardFileName, "UnNamed file");
    EXPECT_TRUE(card.isOpen);
    EXPECT_FALSE(card.isModified);
    EXPECT_TRUE(card.notesOpen);
    EXPECT_EQ(card.cardFileBytes(), kBlankExample);
    EXPECT_EQ(f.notes.text(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFiles,
    ::testing::Values(
        BadFileCase{"missing", "<missing>", " file not found"},
        BadFileCase{"empty", "", " has Invalid file content"},
        BadFileCase{"wrong_header", "ZQW2.0\r\n", " has Invalid file content"},
        BadFileCase{"bad_width", "ZQW1.0\r\n$20x040\r\n", " has Invalid file content"},
        BadFileCase{"short_widths", "ZQW1.0\r\n$20\r\n", " has Invalid file content"},
        BadFileCase{"bad_row_count", "ZQW1.0\r\n$204040\r\nx#}a\r\n", " has Invalid file content"},
        BadFileCase{"negative_row_count", "ZQW1.0\r\n-1#}a\r\n", " has Invalid file content"},
        BadFileCase{"bad_note", "ZQW1.0\r\n1#1a}t\r\n", " has Invalid file content"},
        BadFileCase{"bad_auction_note", "ZQW1.0\r\n1#}\r\n1#}\r\n*1x}\r\n",
                    " has Invalid file content"},
        BadFileCase{"huge_row_count", "ZQW1.0\r\n2000000000#}a\r\n", " has Invalid file content"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CardFileTest, NotesAreLoadedAndRelinkedBesideAMovedCard) {
    CardFixture f(kExampleTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    f.notes.setText("Note:..1: first");
    const std::string oldNotes = dir.path("old-notes.txt");
    card.notesFileName = oldNotes;
    card.notesOpen = true;
    card.cardFileName = dir.path("card.ccf");
    ASSERT_TRUE(card.writeCardFile());
    EXPECT_EQ(readFile(oldNotes), "Note:..1: first\r\n");

    // Move both into another folder: the notes are found beside the card.
    std::filesystem::create_directory(dir.path("moved"));
    std::filesystem::rename(oldNotes, dir.path("moved/old-notes.txt"));
    std::filesystem::rename(card.cardFileName, dir.path("moved/card.ccf"));
    CardFixture g(kExampleTemplate);
    g.card.cardFileName = dir.path("moved/card.ccf");
    g.card.readCardFile();
    EXPECT_EQ(g.card.notesFileName, dir.path("moved/old-notes.txt"));
    EXPECT_TRUE(g.card.isModified);
    EXPECT_EQ(g.notes.text(), "Note:..1: first\n");

    // A name written on another system, with backslashes, is found too.
    writeFile(dir.path("moved/win.ccf"), "ZQW1.0C:\\Cards\\old-notes.txt\r\n");
    CardFixture h(kExampleTemplate);
    h.card.cardFileName = dir.path("moved/win.ccf");
    h.card.readCardFile();
    EXPECT_EQ(h.card.notesFileName, dir.path("moved/old-notes.txt"));

    // Nowhere to be found: no link, empty notes, the card unchanged.
    writeFile(dir.path("moved/gone.ccf"), "ZQW1.0/nowhere/gone.txt\r\n");
    CardFixture k(kExampleTemplate);
    k.notes.setText("stale");
    k.card.cardFileName = dir.path("moved/gone.ccf");
    k.card.readCardFile();
    EXPECT_EQ(k.card.notesFileName, "");
    EXPECT_FALSE(k.card.isModified);
    EXPECT_EQ(k.notes.text(), "");
    EXPECT_TRUE(k.messages.messages.empty());
}

TEST(CardStates, ResetsSetTheRunTimeState) {
    CardFixture f(kExampleTemplate);
    Card& card = f.card;
    card.resetToBlankCard();
    EXPECT_EQ(card.cardFileName, "UnNamed file");
    EXPECT_TRUE(card.isOpen);
    EXPECT_FALSE(card.isNoCard);
    card.rows[1].text = "still here";
    card.notesFileName = "n.txt";
    card.isModified = true;
    card.resetToNoCard();
    EXPECT_EQ(card.cardFileName, "No file");
    EXPECT_FALSE(card.isOpen);
    EXPECT_TRUE(card.isNoCard);
    EXPECT_FALSE(card.isModified);
    EXPECT_EQ(card.notesFileName, "");
    EXPECT_EQ(card.rows[1].text, "still here");
}

// The old card must survive any failed save.
class AtomicSave : public CardFileTest {
protected:
    void SetUp() override {
        card.resetToBlankCard();
        card.rows[1].text = std::string(4000, 'n');  // bigger than the old file
        card.isModified = true;
        path = dir.path("keep.ccf");
        writeFile(path, "ZQW1.0\r\nold\r\n");
        card.cardFileName = path;
    }

    void expectOldFileKept() {
        EXPECT_EQ(f.messages.messages,
                  std::vector<std::string>{"Unable to write to the file " + card.cardFileName});
        EXPECT_TRUE(card.isModified);
        EXPECT_EQ(readFile(path), "ZQW1.0\r\nold\r\n");
        size_t entries = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.root()))
            ++entries;
        EXPECT_EQ(entries, 1u) << "a temporary file was left behind";
    }

    CardFixture f{kExampleTemplate};
    Card& card = f.card;
    std::string path;
};

TEST_F(AtomicSave, FileSizeLimitLeavesTheOldCard) {
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = card.writeCardFile();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    expectOldFileKept();
}

TEST_F(AtomicSave, TargetThatCannotBeReplaced) {
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);  // a folder where the card should go
    EXPECT_FALSE(card.writeCardFile());
    EXPECT_TRUE(card.isModified);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(f.messages.messages, std::vector<std::string>{"Unable to write to the file " + path});
}

TEST_F(AtomicSave, FolderThatDoesNotExist) {
    card.cardFileName = dir.path("no/such/folder/card.ccf");
    EXPECT_FALSE(card.writeCardFile());
    EXPECT_TRUE(card.isModified);
    EXPECT_EQ(f.messages.messages,
              std::vector<std::string>{"Unable to write to the file " + card.cardFileName});
}

TEST_F(AtomicSave, KeepsPermissionsAndWritesThroughSymbolicLinks) {
    ::chmod(path.c_str(), 0640);
    const std::string link = dir.path("link.ccf");
    std::filesystem::create_symlink(path, link);
    card.cardFileName = link;
    ASSERT_TRUE(card.writeCardFile());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(path).substr(0, 6), "ZQW1.0");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(CardFileTest, FailedNotesSaveKeepsTheCardChanged) {
    CardFixture f(kExampleTemplate);
    f.card.resetToBlankCard();
    f.card.cardFileName = dir.path("card.ccf");
    f.card.notesFileName = dir.path("missing-folder/notes.txt");
    f.card.notesOpen = true;
    f.card.isModified = true;
    EXPECT_FALSE(f.card.writeCardFile());
    EXPECT_TRUE(f.card.isModified);
    EXPECT_TRUE(std::filesystem::exists(f.card.cardFileName));
    EXPECT_EQ(f.messages.messages,
              std::vector<std::string>{"Cannot create file " + f.card.notesFileName});
}

}  // namespace
}  // namespace zqw
