#include "card/cardcompare.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "card/cardanswers.h"
#include "card/lineops.h"
#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;

// Group "G": section 0 "Multi" with grid 1 of three columns (lines 1-3,
// labels 1C 1D 1H) and grid 2 (lines 4-5, labels X Y); section 1 "Single"
// of one column (lines 6-8).
std::string compareTemplate() {
    return crlf({"FG", "PMulti", "C3204040", "HBid|Meaning|Notes|", "O1C", "O1D", "O1H", "A3070",
                 "OX", "OY", "PSingle", "C199", "L03"});
}

using Edit = std::function<void(Card&)>;

void put(Card& card, int section, int grid, int row, int field, const std::string& text) {
    card.setField(card.findGridRow(section, grid, row), grid, field, text);
}

struct Expected {
    CardDifference::Kind kind;
    std::string section;
    std::string line;
    std::string heading;
    int row;
    std::string mine;
    std::string theirs;
};

struct CompareCase {
    const char* name;
    Edit mine;
    Edit theirs;
    bool widths;
    std::vector<Expected> expected;
};

const Edit nothing = [](Card&) {};
constexpr auto kCell = CardDifference::Kind::Cell;
constexpr auto kNote = CardDifference::Kind::NoteNumber;
constexpr auto kWidth = CardDifference::Kind::ColumnWidth;

const CompareCase kCases[] = {
    {"equal blank cards", nothing, nothing, false, {}},
    {"one field of a multi-column row",
     [](Card& c) { put(c, 0, 1, 2, 2, "Natural"); },
     [](Card& c) { put(c, 0, 1, 2, 2, "Precision \x04"); },
     false,
     {{kCell, "Multi", "1D", "Meaning", 2, "Natural", "Precision \x04"}}},
    {"the last column and grid 2",
     [](Card& c) { put(c, 0, 2, 1, 2, "mine"); },
     [](Card& c) { put(c, 0, 1, 3, 3, "x"); },
     false,
     {{kCell, "Multi", "1H", "Notes", 3, "", "x"}, {kCell, "Multi", "X", "", 1, "mine", ""}}},
    {"note numbers",
     [](Card& c) { c.rows[c.findGridRow(1, 1, 1).row].noteNo = 3; },
     [](Card& c) { c.rows[c.findGridRow(1, 1, 1).row].noteNo = 4; },
     false,
     {{kNote, "Single", "", "Note", 1, "Note#3", "Note#4"}}},
    {"a row only theirs has",
     nothing,
     [](Card& c) {
         insertRowBefore(c, 1, 1, 3);
         put(c, 1, 1, 3, 1, "added");
     },
     false,
     {{kCell, "Single", "", "", 3, "", "added"}}},
    {"an empty extra row is no difference",
     nothing,
     [](Card& c) { insertRowBefore(c, 1, 1, 3); },
     false,
     {}},
    {"a line hidden in mine",
     [](Card& c) { deleteRow(c, 0, 1, 1); },
     [](Card& c) { put(c, 0, 1, 1, 2, "Strong"); },
     false,
     {{kCell, "Multi", "1C", "Meaning", 1, "", "Strong"}}},
    {"widths only when asked", nothing, [](Card& c) { c.columns[2].width = 55; }, false, {}},
    {"widths when asked",
     nothing,
     [](Card& c) { c.columns[2].width = 55; },
     true,
     {{kWidth, "Multi", "", "Meaning", 0, "40", "55"}}},
};

// Failures name the case rather than dump its bytes.
void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.name; }

class CompareTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareTest, FindsTheDifferencesAndTakingThemMakesTheCardsEqual) {
    const CompareCase& c = GetParam();
    CardFixture mine(compareTemplate());
    CardFixture theirs(compareTemplate());
    mine.card.resetToBlankCard();
    theirs.card.resetToBlankCard();
    c.mine(mine.card);
    c.theirs(theirs.card);
    const CompareOptions options{c.widths};

    const auto found = compareCards(mine.card, theirs.card, options);
    ASSERT_EQ(found.size(), c.expected.size());
    for (size_t i = 0; i < found.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(found[i].kind, c.expected[i].kind);
        EXPECT_EQ(found[i].group, "G");
        EXPECT_EQ(found[i].section, c.expected[i].section);
        EXPECT_EQ(found[i].line, c.expected[i].line);
        EXPECT_EQ(found[i].heading, c.expected[i].heading);
        EXPECT_EQ(found[i].row, c.expected[i].row);
        EXPECT_EQ(found[i].mine, c.expected[i].mine);
        EXPECT_EQ(found[i].theirs, c.expected[i].theirs);
    }

    mine.card.isModified = false;
    EXPECT_EQ(takeTheirs(mine.card, found), static_cast<int>(found.size()));
    EXPECT_EQ(mine.card.isModified, !found.empty());
    EXPECT_TRUE(compareCards(mine.card, theirs.card, options).empty());
    // The rows still form whole chains: the card file writes and reads back.
    const std::string bytes = mine.card.cardFileBytes();
    CardFixture again(compareTemplate());
    ASSERT_TRUE(again.card.readCardBytes(bytes));
    EXPECT_TRUE(compareCards(again.card, theirs.card, options).empty());
}

INSTANTIATE_TEST_SUITE_P(Cards, CompareTest, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

TEST(CompareTakeTheirs, TakesOnlyTheChosenDifference) {
    CardFixture mine(compareTemplate());
    CardFixture theirs(compareTemplate());
    mine.card.resetToBlankCard();
    theirs.card.resetToBlankCard();
    put(theirs.card, 0, 1, 1, 2, "a");
    put(theirs.card, 0, 1, 1, 3, "b");
    const auto found = compareCards(mine.card, theirs.card);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(takeTheirs(mine.card, {found[1]}), 1);
    EXPECT_EQ(mine.card.field(mine.card.findGridRow(0, 1, 1), 1, 2), "");
    EXPECT_EQ(mine.card.field(mine.card.findGridRow(0, 1, 1), 1, 3), "b");
}

TEST(CompareNotes, ComparesLineByLineUnderEachHeading) {
    const std::vector<std::string> mine = {
        "Partnership notes", "Note:..3: Bergen", "3} weak", "Note:..5: Lebensohl", "same", ""};
    // Note 5 comes first in theirs: only the text under each heading counts.
    const std::vector<std::string> theirs = {"Partnership notes",
                                             "note:..5: Lebensohl",
                                             "same",
                                             "Note:..3: Bergen",
                                             "3} mixed",
                                             "extra",
                                             "",
                                             ""};
    const auto found = compareNotes(mine, theirs, SuitChars{});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].line, "Note 3");
    EXPECT_EQ(found[0].row, 2);
    EXPECT_EQ(found[0].mine, "3\x05 weak");
    EXPECT_EQ(found[0].theirs, "3\x05 mixed");
    EXPECT_EQ(found[1].row, 3);
    EXPECT_EQ(found[1].mine, "");
    EXPECT_EQ(found[1].theirs, "extra");
    EXPECT_EQ(found[2].line, "Note 5");
    EXPECT_EQ(found[2].row, 1);
    EXPECT_EQ(found[2].kind, CardDifference::Kind::NotesLine);

    // Notes are never changed through the card.
    CardFixture card(compareTemplate());
    card.card.resetToBlankCard();
    const CardAnswers before = captureAnswers(card.card);
    EXPECT_EQ(takeTheirs(card.card, found), 0);
    EXPECT_TRUE(captureAnswers(card.card) == before);
}

}  // namespace
}  // namespace zqw
