#include "card/notesprintplan.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace zqw {
namespace {

// Pages of 10 bands: 1000 high with a 100 footer, bands of 90; the first
// page's title and every set's header strip take 45 each.
NotesPrintOptions pageOptions() {
    NotesPrintOptions o;
    o.pageWidth = 1000;
    o.pageHeight = 1000;
    o.titleHeight = 45;
    o.footerHeight = 100;
    o.groupHeaderHeight = 45;
    o.lineHeight = 90;
    o.titleText1 = "Natural";
    o.titleText2 = "A & B";
    o.notesFileName = "C:\\Cards\\notes.txt";
    o.textWidth = [](const std::string& text) { return 10 * static_cast<int>(text.size()); };
    return o;
}

std::vector<std::string> numberedLines(int count) {
    std::vector<std::string> lines;
    for (int n = 1; n <= count; ++n) lines.push_back("line " + std::to_string(n));
    return lines;
}

// The source line of every band, page by page.
std::vector<std::vector<int>> linesByPage(const NotesPrintPlan& plan) {
    std::vector<std::vector<int>> pages;
    for (const NotesPage& page : plan.pages()) {
        auto& lines = pages.emplace_back();
        for (const NotesBand& band : page.bands) lines.push_back(band.sourceLine);
    }
    return pages;
}

TEST(NotesPages, EveryLinePrintsTheLastOneToo) {
    const NotesPrintPlan plan = NotesPrintPlan::build(numberedLines(40), pageOptions());
    std::vector<int> printed;
    for (const auto& page : linesByPage(plan))
        printed.insert(printed.end(), page.begin(), page.end());
    ASSERT_EQ(printed.size(), 40u);
    EXPECT_EQ(printed.back(), 40);
    EXPECT_EQ(plan.pages().back().bands.back().labels.at(0).text, "line 40");
    EXPECT_EQ(plan.title(), "Supplementary notes file (notes.txt) Natural (A & B)");
    // The first page: title, header strip, then 9 bands above the footer.
    EXPECT_EQ(plan.pages()[0].bands.size(), 9u);
    EXPECT_EQ(plan.pages()[0].bands[0].top, 90);
    EXPECT_TRUE(plan.pages()[0].showsTitle);
    EXPECT_FALSE(plan.pages()[1].showsTitle);
    EXPECT_FALSE(plan.pages()[1].hasGroupHeader);
    EXPECT_EQ(plan.pages()[1].bands.size(), 10u);
}

TEST(NotesPages, LongLinesWrapWithoutLosingText) {
    std::string longLine;
    for (int word = 0; word < 400; ++word) longLine += "w" + std::to_string(word) + " ";
    longLine += std::string(250, 'x');  // one word wider than the page
    const NotesPrintPlan plan = NotesPrintPlan::build({"before", longLine, "after"}, pageOptions());

    std::string printed;
    int bands = 0;
    for (const NotesPage& page : plan.pages()) {
        for (const NotesBand& band : page.bands) {
            if (band.sourceLine != 2) continue;
            ++bands;
            ASSERT_EQ(band.labels.size(), 1u);
            // Each piece fits the page with room for one wide letter.
            EXPECT_LE(band.labels[0].text.size() * 10, 1000u - 1 - 10);
            printed += band.labels[0].text + " ";
        }
    }
    EXPECT_GT(bands, 5);
    // Word for word the line; only the word wider than the page is split,
    // into pieces that join up again.
    std::istringstream expectedWords(longLine);
    std::istringstream printedWords(printed);
    const std::vector<std::string> expected{std::istream_iterator<std::string>(expectedWords), {}};
    std::vector<std::string> got;
    for (std::istream_iterator<std::string> word(printedWords), end; word != end; ++word) {
        const bool piece = word->find_first_not_of('x') == std::string::npos;
        if (piece && !got.empty() && got.back().find_first_not_of('x') == std::string::npos) {
            got.back() += *word;
        } else {
            got.push_back(*word);
        }
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(plan.pages().back().bands.back().labels.at(0).text, "after");
}

TEST(NotesPages, NoteHeadingsStartPageSetsAsAsked) {
    // Lines 1 and 6 are headings of notes 3 and 12, line 11 of note 999.
    std::vector<std::string> lines = numberedLines(14);
    lines[0] = "Note:..3: first";
    lines[5] = "Note:..12: second";
    lines[10] = "Note:..999: brown";
    struct Case {
        bool newNote;
        bool brown;
        std::vector<int> setStarts;  // first line of each page set
        std::string brownHeader;     // header of the set that starts at line 11
    };
    const Case cases[] = {
        {true, true, {1, 6, 11}, ""},
        {false, true, {1, 11}, "Brown sticker conventions: Natural (A & B)"},
        {false, false, {1}, ""},
    };
    for (const Case& c : cases) {
        NotesPrintOptions o = pageOptions();
        o.newPageForEachNote = c.newNote;
        o.newPageForBrownSticker = c.brown;
        const NotesPrintPlan plan = NotesPrintPlan::build(lines, o);
        std::vector<int> setStarts;
        std::string brownHeader;
        for (const NotesPage& page : plan.pages()) {
            if (!page.hasGroupHeader) continue;
            setStarts.push_back(page.bands.front().sourceLine);
            if (page.bands.front().sourceLine == 11) brownHeader = page.groupHeader;
            EXPECT_EQ(page.numberInSet, 1);
        }
        EXPECT_EQ(setStarts, c.setStarts) << c.newNote << c.brown;
        EXPECT_EQ(brownHeader, c.brownHeader) << c.newNote << c.brown;
        // Rules stand above every heading, whatever the page breaks.
        int rules = 0;
        for (const NotesPage& page : plan.pages()) {
            for (const NotesBand& band : page.bands) rules += band.ruleAbove ? 1 : 0;
        }
        EXPECT_EQ(rules, 3);
    }
}

TEST(NotesPages, PageNumbersRestartInEachSet) {
    // 25 lines, a new set at line 21: set one spans pages of 9 and 10 bands
    // and one more band, set two the rest.
    std::vector<std::string> lines = numberedLines(25);
    lines[20] = "Note:..999: brown";
    const NotesPrintPlan plan = NotesPrintPlan::build(lines, pageOptions());
    std::vector<std::pair<int, int>> numbers;
    for (const NotesPage& page : plan.pages())
        numbers.emplace_back(page.numberInSet, page.pagesInSet);
    EXPECT_EQ(numbers, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}, {1, 1}}));
    EXPECT_EQ(linesByPage(plan)[3].front(), 21);
}

TEST(NotesPages, EarlyHeadingsBreakNoPage) {
    // A brown sticker heading on line 2 asks for a page but the printout has
    // only just begun.
    std::vector<std::string> lines = {"intro", "Note:..999: brown", "text"};
    const NotesPrintPlan plan = NotesPrintPlan::build(lines, pageOptions());
    ASSERT_EQ(plan.pages().size(), 1u);
    EXPECT_EQ(plan.pages()[0].bands.size(), 3u);
}

TEST(NotesPages, SelectedTextKeepsTheSelectedCharacters) {
    std::vector<std::string> lines = numberedLines(9);
    lines[4] = "abcdefgh";
    lines[6] = "\tuvwxyz";
    NotesPrintOptions o = pageOptions();
    o.selectionOnly = true;
    o.selection = {5, 2, 7, 3};  // from "c" on line 5 to before "w" on line 7
    const NotesPrintPlan plan = NotesPrintPlan::build(lines, o);
    std::vector<std::string> printed;
    for (const NotesBand& band : plan.pages()[0].bands) {
        printed.push_back(band.labels.empty() ? "" : band.labels[0].text);
    }
    EXPECT_EQ(printed, (std::vector<std::string>{"  cdefgh", "line 6", "        uv"}));

    // A selection that ends at the start of a line takes nothing of it.
    o.selection = {2, 0, 4, 0};
    const NotesPrintPlan whole = NotesPrintPlan::build(lines, o);
    EXPECT_EQ(linesByPage(whole), (std::vector<std::vector<int>>{{2, 3}}));
}

TEST(NotesPages, SuitPicturesFollowTheirText) {
    NotesPrintOptions o = pageOptions();
    o.suits = SuitSymbolStyle::Pictures;
    const NotesPrintPlan plan = NotesPrintPlan::build({"abcde]rest"}, o);
    const NotesBand& band = plan.pages()[0].bands[0];
    ASSERT_EQ(band.labels.size(), 2u);
    ASSERT_EQ(band.pictures.size(), 1u);
    EXPECT_EQ(band.labels[0].text, "abcde");
    EXPECT_EQ(band.labels[0].x, 1);
    EXPECT_EQ(band.pictures[0].suit, Suit::Heart);
    EXPECT_EQ(band.pictures[0].x, 1 + 50 + 1);
    EXPECT_EQ(band.labels[1].text, "rest");
    EXPECT_EQ(band.labels[1].x, band.pictures[0].x + 35);

    o.suits = SuitSymbolStyle::Letters;
    o.suitChars.heart = 0xB6;
    EXPECT_EQ(NotesPrintPlan::build({"2\xB6"}, o).pages()[0].bands[0].labels[0].text, "2H");
}

TEST(NotesPages, TitleTextsComeFromTheFirstSection) {
    test::CardFixture f(test::crlf({"FPlayers", "PPartnership", "C23065", "ONumbers", "ONames",
                                    "OPartnership", "OSystem", "OEvents"}));
    f.card.resetToBlankCard();
    f.card.rows[2].text = "\tAnn & Bob\t";
    f.card.rows[4].text = "\tStrong 1\x05\t";
    NotesTitleTexts texts = notesTitleTexts(f.card, SuitChars{});
    EXPECT_EQ(texts.first, "Strong 1}");
    EXPECT_EQ(texts.second, "Ann & Bob");
    // A hidden fourth line gives way to the next line that shows a row.
    f.card.lines[4].rowCount = 0;
    f.card.rows[5].text = "\tAll events\t";
    EXPECT_EQ(notesTitleTexts(f.card, SuitChars{}).first, "All events");
}

TEST(NotesPages, TabsExpandToEightColumns) {
    EXPECT_EQ(expandTabs("a\tb\t\tc", 8), "a       b               c");
}

}  // namespace
}  // namespace zqw
