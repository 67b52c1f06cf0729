#include "card/dosimport.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/test_support.h"
#include "dosfilebuilder.h"

namespace zqw::test {
namespace {

// --- where the fields lie ---------------------------------------------------

struct PlacementCase {
    const char* what;
    int group, section, row, column;
    std::optional<DosFieldPlace> expected;
};

void PrintTo(const PlacementCase& c, std::ostream* out) { *out << c.what; }

class DosPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(DosPlacement, FollowsTheLayoutTable) {
    const PlacementCase& c = GetParam();
    EXPECT_EQ(locateDosField(c.group, c.section, c.row, c.column), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DosPlacement,
    testing::Values(
        PlacementCase{"listed zero-terminated field", 1, 1, 1, 2, DosFieldPlace{53, 0}},
        PlacementCase{"the field at the very start of the file", 1, 1, 2, 2, DosFieldPlace{0, 0}},
        PlacementCase{"unlisted row after the section's last entry", 1, 1, 5, 2,
                      DosFieldPlace{15 + 38 * 4, 38}},
        PlacementCase{"listed row 1", 2, 4, 1, 1, DosFieldPlace{1908, 55}},
        PlacementCase{"unlisted row 2 follows row 1", 2, 4, 2, 1, DosFieldPlace{1963, 55}},
        PlacementCase{"unlisted row 3 follows row 1", 2, 4, 3, 1, DosFieldPlace{2018, 55}},
        PlacementCase{"listed row 4 has its own length", 2, 4, 4, 1, DosFieldPlace{2074, 45}},
        PlacementCase{"second column of a later row", 3, 1, 2, 3, DosFieldPlace{2575, 0}},
        PlacementCase{"grid-2 row listed as row 4", 3, 1, 4, 1, DosFieldPlace{2625, 48}},
        PlacementCase{"unlisted row before a listed later row", 3, 3, 2, 2,
                      DosFieldPlace{3345, 16}},
        PlacementCase{"single-entry section", 7, 1, 3, 1, DosFieldPlace{8083 + 144, 72}},
        PlacementCase{"keyed row 1, key", 6, 1, 1, 1, DosFieldPlace{8932, 0}},
        PlacementCase{"keyed row 3 lies two strides on", 6, 1, 3, 1, DosFieldPlace{10512, 0}},
        PlacementCase{"keyed row 3, column 2", 6, 1, 3, 2, DosFieldPlace{10518, 0}},
        PlacementCase{"keyed row 30, last column", 6, 1, 30, 8, DosFieldPlace{9537 + 29 * 790, 0}},
        PlacementCase{"note 1, line 1", 8, 1, 1, 1, DosFieldPlace{32642, 60}},
        PlacementCase{"note 2, line 1", 8, 1, 2, 1, DosFieldPlace{33623, 60}},
        PlacementCase{"note 2, line 2", 8, 1, 2, 2, DosFieldPlace{33683, 70}},
        PlacementCase{"note 60, line 14", 8, 1, 60, 14, DosFieldPlace{33542 + 59 * 981, 70}},
        // Positions without entries of their own read nothing, rather than
        // another section's fields or a stride-sized field.
        PlacementCase{"sixth group's second section meets the stride", 6, 2, 1, 1, std::nullopt},
        PlacementCase{"first group's second section meets the second group's", 1, 2, 1, 1,
                      std::nullopt},
        PlacementCase{"seventh group's second section meets the notes' stride", 7, 2, 2, 1,
                      std::nullopt},
        PlacementCase{"past the last entry", 8, 2, 1, 1, std::nullopt},
        PlacementCase{"a group the table does not know", 9, 1, 1, 1, std::nullopt},
        PlacementCase{"row 0", 2, 1, 0, 1, std::nullopt}));

// --- reading one field ------------------------------------------------------

class DosFieldReading : public testing::Test {
protected:
    DosCardFile& open(const DosFileBuilder& builder) {
        builder.write(dir_.path("card.ver"));
        EXPECT_TRUE(file_.open(dir_.path("card.ver")));
        return file_;
    }
    TempDir dir_;
    DosCardFile file_;
};

TEST_F(DosFieldReading, FixedFieldKeepsItsLengthWithZeroBytesAsBlanks) {
    auto& file = open(DosFileBuilder().fixed(205, 53, std::string("Weak\0\0two", 9)));
    EXPECT_EQ(readDosField(file, 2, 1, 1, 1), "Weak  two" + std::string(44, ' '));
}

TEST_F(DosFieldReading, ZeroTerminatedFieldEndsAtItsZeroByte) {
    auto& file = open(DosFileBuilder().terminated(0, "Ann Smith").terminated(53, "KHF 4711"));
    EXPECT_EQ(readDosField(file, 1, 1, 2, 2), "Ann Smith");
    EXPECT_EQ(readDosField(file, 1, 1, 1, 2), "KHF 4711");
}

TEST_F(DosFieldReading, FieldsNeverExceed299Bytes) {
    auto& file = open(DosFileBuilder().bytesAt(84, std::string(400, 'x')));
    EXPECT_EQ(readDosField(file, 1, 1, 3, 2), std::string(299, 'x')) << "zero-terminated";
    EXPECT_EQ(readDosText(file, DosFieldPlace{84, 790}), std::string(299, 'x'))
        << "a place longer than the field buffer";
}

TEST_F(DosFieldReading, FieldsNotWhollyInsideTheFileAreEmpty) {
    DosFileBuilder builder(205 + 20);
    builder.bytesAt(205, "Weak two, all seats ");
    builder.terminated(0, "Ann");
    auto& file = open(builder);
    EXPECT_EQ(readDosField(file, 2, 1, 1, 1), "") << "cut inside a fixed field";
    EXPECT_EQ(readDosField(file, 1, 1, 2, 2), "")
        << "a zero-terminated field's 299 bytes reach past the end";
    EXPECT_EQ(readDosField(file, 8, 1, 60, 14), "") << "wholly past the end";
}

TEST_F(DosFieldReading, AllZeroFileGivesBlankFixedFieldsAndEmptyTerminatedOnes) {
    auto& file = open(DosFileBuilder());
    EXPECT_EQ(readDosField(file, 2, 4, 4, 1), std::string(45, ' '));
    EXPECT_EQ(readDosField(file, 6, 1, 3, 1), "");
}

TEST_F(DosFieldReading, PositionsWithoutTableEntriesReadEmptyWhateverTheFileHolds) {
    auto& file = open(DosFileBuilder().bytesAt(0, std::string(91502, 'z')));
    EXPECT_EQ(readDosField(file, 6, 2, 2, 1), "");
    EXPECT_EQ(readDosField(file, 1, 2, 1, 1), "");
    EXPECT_EQ(readDosField(file, 7, 3, 1, 1), "");
}

TEST(DosCardFile, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    DosCardFile file;
    EXPECT_FALSE(file.open(dir.path("missing.ver")));
    EXPECT_FALSE(file.open(dir.root().string()));
    EXPECT_FALSE(file.isOpen());
}

// --- text helpers ----------------------------------------------------------

TEST(DosText, TrimBlanksRemovesOnlyBlanksAtTheEnds) {
    EXPECT_EQ(trimBlanks("  a  b  "), "a  b");
    EXPECT_EQ(trimBlanks("\ta\t "), "\ta\t");
    EXPECT_EQ(trimBlanks("    "), "");
}

TEST(DosText, CleaningTrimsJoinsBlankRunsAndKeepsSuitCodes) {
    const std::pair<std::string, std::string> cases[] = {
        {"  Weak   two  ", "Weak two"},
        {"1\x05  and\t\t1\x04\r\n", "1\x05 and 1\x04"},
        {std::string("a\x01\x1a\x7f"
                     "b"),
         "a b"},
        {"\x03\x06", "\x03\x06"},
        {std::string(55, ' '), ""},
    };
    for (const auto& [raw, clean] : cases) EXPECT_EQ(cleanDosField(raw), clean) << raw;
}

TEST(DosText, RowKeysDropBlanksUseCapitalsAndTakeTheLabelsLength) {
    EXPECT_EQ(dosRowKey(" 1 n t ", 3), "1NT");
    EXPECT_EQ(dosRowKey("2\x05 weak", 2), "2\x05");
    EXPECT_EQ(dosRowKey("1", 3), "1");
    EXPECT_EQ(dosRowKey("anything", 0), "");
}

// --- the whole import on the standard card --------------------------------

class RecordingNotes : public NotesAppender {
public:
    void appendLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

// Every non-empty cell of the card, keyed "group.section grid:line.column"
// with 1-based positions, so a test states the whole outcome at once.
std::map<std::string, std::string> filledCells(const Card& card) {
    std::map<std::string, std::string> cells;
    for (int g = 0; g < static_cast<int>(card.groups.size()); ++g) {
        for (int t = 0; t < card.groups[g].sectionCount; ++t) {
            const int index = card.sectionIndexOf(g, t);
            const Section& form = card.sections[index];
            const std::string where = std::to_string(g + 1) + "." + std::to_string(t + 1);
            for (int j = 1; j <= form.rowCount; ++j) {
                const RowRef ref = card.findGridRow(index, 1, j);
                for (int k = 1; k <= form.columnCount; ++k) {
                    const std::string text = card.field(ref, 1, k);
                    if (!text.empty()) {
                        cells[where + " 1:" + std::to_string(j) + "." + std::to_string(k)] = text;
                    }
                }
            }
            for (int j = 1; j <= form.rowCount2; ++j) {
                const std::string text = card.field(card.findGridRow(index, 2, j), 2, 2);
                if (!text.empty()) cells[where + " 2:" + std::to_string(j)] = text;
            }
        }
    }
    return cells;
}

class StandardCardImport : public testing::Test {
protected:
    StandardCardImport() : fixture_(readFile(ZQW_SOURCE_DIR "/data/zqw.sel")) {
        fixture_.card.resetToBlankCard();
    }
    Card& card() { return fixture_.card; }
    bool import(const DosFileBuilder& builder) {
        builder.write(dir_.path("card.ver"));
        return importDosCard(card(), notes_, dir_.path("card.ver"), SuitChars{});
    }
    // Puts a keyed row: its key, then columns 2 to 8 told apart by tag.
    // Columns 2 to 4 have room for one, one and three characters.
    static std::vector<std::string> keyedValues(char tag) {
        const std::string t(1, tag);
        return {t, t, t + t + t, "meaning " + t, "responses " + t, "rebids " + t, "notes " + t};
    }
    static void keyedRow(DosFileBuilder& builder, int row, const std::string& key, char tag) {
        builder.terminated(keyedRowField(row, 1), key);
        const auto values = keyedValues(tag);
        for (int k = 2; k <= 8; ++k) builder.terminated(keyedRowField(row, k), values[k - 2]);
    }
    static std::map<std::string, std::string> keyedCells(int line, char tag) {
        std::map<std::string, std::string> cells;
        const auto values = keyedValues(tag);
        for (int k = 2; k <= 8; ++k) {
            cells["6.1 1:" + std::to_string(line) + "." + std::to_string(k)] = values[k - 2];
        }
        return cells;
    }

    TempDir dir_;
    CardFixture fixture_;
    RecordingNotes notes_;
};

TEST_F(StandardCardImport, EveryFieldLandsInItsCellAndNowhereElse) {
    DosFileBuilder builder;
    builder.terminated(53, "  KHF   4711 ")
        .terminated(0, "Ann\tand  Bob")
        .fixed(205, 53, "Natural, 5-card majors")
        .fixed(1963, 55, "row two")
        .fixed(2018, 55, "row three")
        // Row 4 is 45 bytes long: the 55th byte after 2074 belongs to row 5.
        .bytesAt(2074, std::string(45, 'a'))
        .fixed(2119, 55, "row five")
        .terminated(2500, "4th best")
        .terminated(2600, "Top of \x06 sequence")
        .fixed(2625, 48, "Attitude")
        .fixed(2673, 55, "Count")
        .fixed(8083, 72, "Sound")
        .fixed(8083 + 72, 72, "Light");
    ASSERT_TRUE(import(builder));

    const std::map<std::string, std::string> expected = {
        {"1.1 1:1.2", "KHF 4711"},
        {"1.1 1:2.2", "Ann and Bob"},
        {"2.1 1:1.1", "Natural, 5-card majors"},
        {"2.4 1:2.1", "row two"},
        {"2.4 1:3.1", "row three"},
        {"2.4 1:4.1", std::string(45, 'a')},
        {"2.4 1:5.1", "row five"},
        {"3.1 1:2.2", "4th best"},
        {"3.1 1:3.3", "Top of \x06 sequence"},
        {"3.1 2:1", "Attitude"},
        {"3.1 2:2", "Count"},
        {"7.1 1:1.1", "Sound"},
        {"7.1 1:2.1", "Light"},
    };
    EXPECT_EQ(filledCells(card()), expected);
    EXPECT_TRUE(notes_.lines.empty());
    EXPECT_EQ(rowTexts(card(), card().sections[0].firstLine)[0], "\tKHF 4711\t")
        << "the label column stays empty";
}

TEST_F(StandardCardImport, SixthGroupLinesTakeTheRowWhoseKeyMatchesTheirLabel) {
    DosFileBuilder builder;
    keyedRow(builder, 1, " 2 nt", 't');
    keyedRow(builder, 2, "1\x05", 'c');
    keyedRow(builder, 3, "1 n t", 'o');
    keyedRow(builder, 4, "1\x04xx", 'd');
    keyedRow(builder, 5, "1NT", 's');
    keyedRow(builder, 30, "4nT", 'f');
    ASSERT_TRUE(import(builder));

    // The labels: lines 1-5 are 1 club, diamond, heart, spade, NT; 6-10 the
    // two-level bids and so on. Row 5 repeats row 3's key and loses; the
    // other lines match no key and stay empty.
    std::map<std::string, std::string> expected;
    expected.merge(keyedCells(1, 'c'));
    expected.merge(keyedCells(2, 'd'));
    expected.merge(keyedCells(5, 'o'));
    expected.merge(keyedCells(10, 't'));
    expected.merge(keyedCells(20, 'f'));
    EXPECT_EQ(filledCells(card()), expected);
}

TEST_F(StandardCardImport, NotesFollowEachOtherWithTheirHeadings) {
    DosFileBuilder builder;
    builder.fixed(noteLineOffset(1, 1), 60, "  First line ")
        .fixed(noteLineOffset(1, 3), 70, "Then \x06 and \x05")
        .fixed(noteLineOffset(2, 1), 60, std::string(60, ' '))
        .fixed(noteLineOffset(2, 7), 70, "   ")
        .fixed(noteLineOffset(3, 2), 70, "\tTabbed\t")
        .fixed(noteLineOffset(3, 14), 70, "Last line only")
        .fixed(noteLineOffset(60, 14), 70, "End");
    ASSERT_TRUE(import(builder));

    const std::vector<std::string> expected = {
        "Note:..1:First line",
        "Then [ and }",
        "",
        "Note:..3:Tabbed",
        "Last line only",
        "",
        "Note:..60:End",
        "",
    };
    EXPECT_EQ(notes_.lines, expected);
    EXPECT_TRUE(filledCells(card()).empty());
}

TEST_F(StandardCardImport, ShortAndEmptyFilesImportWhatTheyHold) {
    DosFileBuilder builder(2700);
    builder.fixed(205, 53, "Natural").terminated(2475, "Fourth");
    ASSERT_TRUE(import(builder));
    const std::map<std::string, std::string> expected = {{"2.1 1:1.1", "Natural"}};
    EXPECT_EQ(filledCells(card()), expected) << "2475 lies within 299 bytes of the end";

    card().resetToBlankCard();
    ASSERT_TRUE(import(DosFileBuilder(0)));
    EXPECT_TRUE(filledCells(card()).empty());
    EXPECT_TRUE(notes_.lines.empty());
}

TEST_F(StandardCardImport, FileThatCannotBeOpenedIsReportedAndChangesNothing) {
    const std::string before = card().cardFileBytes();
    const std::string path = dir_.path("missing.ver");
    EXPECT_FALSE(importDosCard(card(), notes_, path, SuitChars{}));
    EXPECT_EQ(fixture_.messages.messages, std::vector<std::string>{"Cannot open file " + path});
    EXPECT_EQ(card().cardFileBytes(), before);
    EXPECT_TRUE(notes_.lines.empty());
}

}  // namespace
}  // namespace zqw::test
