#include "card/cardchecks.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;
using Severity = CheckFinding::Severity;
using Place = CheckFinding::Place;

// Section 0 "Partnership" (lines 1-2: KHF numbers, Names), section 1
// "Bids" of three columns (lines 3-4: 1C, 1D), section 2 "Text" of one
// column (lines 5-6, no labels).
std::string checksTemplate() {
    return crlf({"FPlayers", "PPartnership", "C23065", "OKHF numbers", "ONames", "PBids",
                 "C3204040", "HBid|Meaning|Notes|", "O1C", "O1D", "PText", "C199", "L02"});
}

void put(Card& card, int section, int row, int field, const std::string& text) {
    card.setField(card.findGridRow(section, 1, row), 1, field, text);
}

// A card that passes: both partnership lines answered.
void fillPartnership(Card& card) {
    put(card, 0, 1, 2, "123 / 456");
    put(card, 0, 2, 2, "A & B");
}

struct ExpectedFinding {
    Severity severity;
    std::string what;
    std::string where;
    Place place;
    int gridRow;  // cell: grid row; notes line: paragraph
    int gridColumn;
};

struct ChecksCase {
    const char* name;
    std::function<void(Card&)> edit;
    std::vector<std::string> notes;
    std::vector<ExpectedFinding> expected;
};

const ChecksCase kCases[] = {
    {"a complete card", [](Card&) {}, {"Notes"}, {}},
    {"empty names",
     [](Card& c) { put(c, 0, 2, 2, "   "); },
     {},
     {{Severity::Error, "The partnership names are empty", "Players > Partnership, row 2 (Names)",
       Place::Cell, 2, 1}}},
    {"empty KHF numbers",
     [](Card& c) { put(c, 0, 1, 2, ""); },
     {},
     {{Severity::Error, "The KHF numbers are empty", "Players > Partnership, row 1 (KHF numbers)",
       Place::Cell, 1, 1}}},
    {"a note number with no heading",
     [](Card& c) { c.rows[c.findGridRow(1, 1, 2).row].noteNo = 3; },
     {"Note:..30: thirty is not three"},
     {{Severity::Error, "Note#3 has no heading Note:..3: in the notes",
       "Players > Bids, row 2 (1D), Notes", Place::Cell, 2, 2},
      {Severity::Warning, "Nothing on the card refers to note 30", "Notes, line 1",
       Place::NotesLine, 1, 0}}},
    {"references written in a cell and headings in any case",
     [](Card& c) {
         put(c, 2, 2, 1, "see Note#12 and Note#7");
         c.rows[c.findGridRow(2, 1, 1).row].noteNo = 7;
     },
     {"Our notes", "note:..12: twelve", "  Note:..7: seven", "Note:..8: unused"},
     {{Severity::Warning, "Nothing on the card refers to note 8", "Notes, line 4", Place::NotesLine,
       4, 0}}},
    {"characters the card file cannot hold",
     [](Card& c) {
         put(c, 1, 1, 2, std::string("1\x05 then\x1a"));
         put(c, 2, 1, 1, "a\tb");
     },
     {},
     {{Severity::Error, "The card cannot store Ctrl-Z", "Players > Bids, row 1 (1C), Meaning",
       Place::Cell, 1, 1},
      {Severity::Error, "The card cannot store a TAB", "Players > Text, row 1", Place::Cell, 1,
       0}}},
};

// Failures name the case rather than dump its bytes.
void PrintTo(const ChecksCase& c, std::ostream* os) { *os << c.name; }

class ChecksTest : public ::testing::TestWithParam<ChecksCase> {};

TEST_P(ChecksTest, FindsWhatTheCardShouldNotBeSentWith) {
    const ChecksCase& c = GetParam();
    CardFixture f(checksTemplate());
    f.card.resetToBlankCard();
    fillPartnership(f.card);
    c.edit(f.card);

    std::vector<CheckFinding> found = checkPartnership(f.card);
    for (auto more : {checkNoteReferences(f.card, c.notes), checkCardCharacters(f.card)})
        found.insert(found.end(), more.begin(), more.end());

    ASSERT_EQ(found.size(), c.expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        const ExpectedFinding& e = c.expected[i];
        EXPECT_EQ(found[i].severity, e.severity);
        EXPECT_EQ(found[i].what, e.what);
        EXPECT_EQ(found[i].where, e.where);
        EXPECT_EQ(found[i].place, e.place);
        if (e.place == Place::Cell) {
            EXPECT_EQ(found[i].gridRow, e.gridRow);
            EXPECT_EQ(found[i].gridColumn, e.gridColumn);
        } else {
            EXPECT_EQ(found[i].notesParagraph, e.gridRow);
        }
    }
    EXPECT_EQ(hasErrors(found), std::any_of(c.expected.begin(), c.expected.end(),
                                            [](auto& e) { return e.severity == Severity::Error; }));
}

INSTANTIATE_TEST_SUITE_P(Cards, ChecksTest, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

TEST(NotesCharacters, ReportsWhatTheNotesFileLoses) {
    const std::vector<std::string> lines = {"plain \xc3\xa9t\xc3\xa9 \xe2\x82\xac",  // é, €: fine
                                            "an arrow \xe2\x86\x92 here", "a\ttab", ""};
    const auto found = checkNotesCharacters(lines);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].what, "The notes file cannot store a character: U+2192 becomes \"?\"");
    EXPECT_EQ(found[0].notesParagraph, 2);
    EXPECT_EQ(found[1].what, "The notes file cannot store a character: a TAB becomes a blank");
    EXPECT_EQ(found[1].where, "Notes, line 3");
    EXPECT_EQ(found[1].severity, Severity::Warning);
}

TEST(PackageChecks, MeasuresThePackageAndKnowsTheLimit) {
    EXPECT_TRUE(checkPackageSize(kMostMailedPackageBytes).empty());
    const auto over = checkPackageSize(kMostMailedPackageBytes + 1);
    ASSERT_EQ(over.size(), 1u);
    EXPECT_EQ(over[0].severity, Severity::Error);

    test::TempDir dir;
    const std::string card = dir.path("c.ccf");
    const std::string notes = dir.path("n.txt");
    test::writeFile(card, "ZQW1.0n.txt\r\n");
    // Random bytes do not compress: the package is at least their size.
    std::string noise(200000, '\0');
    uint32_t state = 12345;
    for (char& c : noise) {
        state = state * 1664525 + 1013904223;
        c = static_cast<char>(state >> 24);
    }
    test::writeFile(notes, noise);
    const auto size = measurePackage({card, notes});
    ASSERT_TRUE(size.has_value());
    EXPECT_GE(*size, noise.size());
    EXPECT_LT(*size, noise.size() + 4096);
    EXPECT_FALSE(measurePackage({dir.path("missing.ccf"), ""}).has_value());
}

TEST(NotesLink, ALinkedFileThatIsNotThereIsAnError) {
    EXPECT_TRUE(checkNotesLink("", false).empty());  // no notes linked
    EXPECT_TRUE(checkNotesLink("/nowhere/notes.txt", true).empty());
    const auto found = checkNotesLink("/nowhere/notes.txt", false);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].where, "/nowhere/notes.txt");
    EXPECT_EQ(found[0].severity, Severity::Error);
}

TEST(PrintedCells, NamesTheCellAndWhatIsLeftOut) {
    CardFixture f(checksTemplate());
    f.card.resetToBlankCard();
    fillPartnership(f.card);
    // Three layout columns of 1000 pixels: a single-column caption has 986
    // pixels for its text, 98 characters of 10 pixels at full size and 131
    // at the smallest size a caption is drawn in.
    CardPrintOptions options;
    options.printableWidth = 3000;
    options.usableHeight = 5000;
    options.captionWidth = [](const std::string& text) { return 10 * int(text.size()); };
    const auto findingsFor = [&](const std::string& first, const std::string& second, int note) {
        put(f.card, 2, 1, 1, first);
        put(f.card, 2, 2, 1, second);
        f.card.rows[f.card.findGridRow(2, 2, 1).row].noteNo = note;
        return checkPrintedCells(f.card, CardPrintPlan::build(f.card, options));
    };
    // Drawn smaller, a caption a third too long for its cell loses nothing.
    EXPECT_TRUE(findingsFor(std::string(98, 'x'), std::string(120, 'y'), 0).empty());

    // Past the smallest size the caption is shortened at a word: the
    // finding names the cell and the words left out.
    const std::string words = "one two three four five six seven eight nine ten ";
    std::string tooLong;
    while (tooLong.size() < 200) tooLong += words;
    const auto cut = findingsFor("short", tooLong + "\x03 end", 0);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0].where, "Players > Text, row 2");
    EXPECT_EQ(cut[0].gridRow, 2);
    EXPECT_NE(cut[0].what.find("longer than its printed cell"), std::string::npos);
    EXPECT_NE(cut[0].what.find("\x03 end\") are left out"), std::string::npos) << cut[0].what;

    // A note reference always prints whole: what is left out comes before it.
    const auto withNote = findingsFor("short", tooLong + "last", 5);
    ASSERT_EQ(withNote.size(), 1u);
    EXPECT_EQ(withNote[0].what.find("Note#"), std::string::npos) << withNote[0].what;
    EXPECT_NE(withNote[0].what.find("last\") are left out"), std::string::npos) << withNote[0].what;
}

}  // namespace
}  // namespace zqw
