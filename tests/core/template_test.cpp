#include <gtest/gtest.h>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;

// The worked example a template author reads first.
const std::string kBasic = crlf({"FBasic", "POpening bids", "C3204040", "HBid|Meaning|Notes|",
                                 "V2Natural", "V2Artificial", "Z1105", "O1C", "O1D"});

TEST(Template, BuildsGroupsSectionsLinesAndPrompts) {
    CardFixture f(kBasic);
    const Card& card = f.card;
    EXPECT_TRUE(f.messages.messages.empty());
    ASSERT_EQ(card.groups.size(), 2u);
    EXPECT_EQ(card.groups[0].name, "Basic");
    EXPECT_EQ(card.groups[0].sectionCount, 1);
    EXPECT_EQ(card.groups[1].name, "Notes file");
    EXPECT_EQ(card.groups[1].sectionCount, 0);
    EXPECT_EQ(card.tabCaptions, (std::vector<std::string>{"1:Basic", "Notes"}));

    ASSERT_EQ(card.sections.size(), 1u);
    const Section& form = card.sections[0];
    EXPECT_EQ(form.columnCount, 3);
    EXPECT_EQ(form.firstColumn, 1);
    EXPECT_TRUE(form.hasHeadings);
    EXPECT_EQ(form.firstLine, 1);
    EXPECT_EQ(form.lineCount, 2);

    ASSERT_EQ(card.columns.size(), 4u);
    EXPECT_EQ(card.columns[1].width, 20);
    EXPECT_EQ(card.columns[2].defaultWidth, 40);
    EXPECT_EQ(card.columns[3].heading, "Notes");

    ASSERT_EQ(card.lines.size(), 3u);
    EXPECT_EQ(card.lines[1].label, "1C");
    EXPECT_EQ(card.lines[2].cellInfoIndex, 5);  // after the placeholder and line 1's three cells
    ASSERT_EQ(card.prompts.size(), 3u);
    for (int line : {1, 2}) {
        const CellInfo& column2 = card.cellInfoOf(line, 1);
        EXPECT_EQ(column2.promptCount, 2);
        EXPECT_EQ(card.prompts[column2.firstPrompt - 1].text, "Natural");
        for (int c = 0; c < 3; ++c) EXPECT_EQ(card.cellInfoOf(line, c).helpContext, 105);
        EXPECT_EQ(card.cellInfoOf(line, 0).promptCount, 0);
    }
}

struct MessageCase {
    const char* name;
    std::string records;
    std::vector<std::string> messages;
};

class TemplateMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(TemplateMessages, ReportsEachOffendingLineAndGoesOn) {
    CardFixture f(GetParam().records);
    EXPECT_EQ(f.messages.messages, GetParam().messages);
    // Parsing went on: the notes group is always there, last.
    ASSERT_FALSE(f.card.groups.empty());
    EXPECT_EQ(f.card.groups.back().name, "Notes file");
}

INSTANTIATE_TEST_SUITE_P(
    Records, TemplateMessages,
    ::testing::Values(
        MessageCase{
            "headings_without_columns", crlf({"FG", "PS", "HA|B"}), {"Headings without columns"}},
        MessageCase{"line_count_zero", crlf({"FG", "PS", "C195", "L00"}), {"Line count zeroL00"}},
        MessageCase{"prompt_column_too_big",
                    crlf({"FG", "PS", "C2", "V3x", "Y5100"}),
                    {"Invalid line in zqw.sel file: C2", "Prompt value for invalid column: V3x",
                     "Prompt value for invalid column: Y5100"}},
        MessageCase{"unknown_kind",
                    crlf({"FG", "PS", "Q what", "c195"}),
                    {"Invalid line in zqw.sel file: Q what", "Invalid line in zqw.sel file: c195"}},
        MessageCase{"empty_line", crlf({"FG", "", "PS"}), {"Invalid line in zqw.sel file: "}},
        MessageCase{"not_decimal",
                    crlf({"FG", "PS", "CX", "C2aa10", "L5x", "A1", "Y1abc", "V?t"}),
                    {"Invalid line in zqw.sel file: CX", "Invalid line in zqw.sel file: C2aa10",
                     "Invalid line in zqw.sel file: L5x", "Invalid line in zqw.sel file: A1",
                     "Invalid line in zqw.sel file: Y1abc", "Invalid line in zqw.sel file: V?t"}},
        MessageCase{"negative_count",
                    crlf({"FG", "PS", "C1-5", "L-1"}),
                    {"Invalid line in zqw.sel file: C1-5", "Invalid line in zqw.sel file: L-1"}},
        MessageCase{"before_first_group",
                    crlf({"PS", "GLate", "FG"}),
                    {"Invalid line in zqw.sel file: PS", "Invalid line in zqw.sel file: GLate"}},
        MessageCase{"second_first_group", crlf({"FG", "FH"}), {"Invalid line in zqw.sel file: FH"}},
        MessageCase{"before_first_section",
                    crlf({"FG", "C195", "L01", "V1x", "HA", "A2020"}),
                    {"Invalid line in zqw.sel file: C195", "Invalid line in zqw.sel file: L01",
                     "Invalid line in zqw.sel file: V1x", "Invalid line in zqw.sel file: HA",
                     "Invalid line in zqw.sel file: A2020"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Template, LeadingBlanksInNumberFieldsAreAllowed) {
    CardFixture f(crlf({"FG", "PS", "C1 5", "L 5", "Y1  42"}));
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(f.card.columns[1].width, 5);
    EXPECT_EQ(f.card.sections[0].lineCount, 5);
}

struct HeadingCase {
    std::string record;
    std::vector<std::string> headings;
};

class TemplateHeadings : public ::testing::TestWithParam<HeadingCase> {};

TEST_P(TemplateHeadings, SplitsAtBars) {
    CardFixture f(crlf({"FG", "PS", "C3203040", GetParam().record}));
    const Section& form = f.card.sections[0];
    std::vector<std::string> headings;
    for (int c = 0; c < form.columnCount; ++c)
        headings.push_back(f.card.columns[form.firstColumn + c].heading);
    EXPECT_EQ(headings, GetParam().headings);
}

INSTANTIATE_TEST_SUITE_P(
    Records, TemplateHeadings,
    ::testing::Values(HeadingCase{"HBid|Meaning", {"Bid", "Meaning", "Meaning"}},
                      HeadingCase{"HBid|Meaning|", {"Bid", "Meaning", ""}},
                      HeadingCase{"H|Meaning|", {"", "Meaning", ""}},
                      HeadingCase{"HAll", {"All", "All", "All"}},
                      HeadingCase{"H" + std::string(100, 'x'),
                                  std::vector<std::string>(3, std::string(80, 'x'))}));

TEST(Template, PromptListsAreStickyUntilSealedAndRestarted) {
    CardFixture f(crlf({"FG", "PS", "C3203040", "V2one", "V2two", "OA", "OB", "V2three", "OC"}));
    const Card& card = f.card;
    const auto prompts = [&card](int line, int column) {
        std::vector<std::string> texts;
        const CellInfo& info = card.cellInfoOf(line, column);
        for (int p = 0; p < info.promptCount; ++p)
            texts.push_back(card.prompts[info.firstPrompt - 1 + p].text);
        return texts;
    };
    EXPECT_EQ(prompts(1, 1), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(prompts(2, 1), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(prompts(3, 1), (std::vector<std::string>{"three"}));
}

TEST(Template, URestartsOnlyWhenItsNamedColumnIsSealed) {
    // Column 3's list is open (V3 after the line), column 1's sealed: U3
    // appends to the old lists of columns 1 and 2 and to column 3's.
    CardFixture f(crlf({"FG", "PS", "C3203040", "V1a", "V2b", "OA", "V3c", "U3d", "OB"}));
    const Card& card = f.card;
    const CellInfo& c1 = card.cellInfoOf(2, 0);
    const CellInfo& c3 = card.cellInfoOf(2, 2);
    EXPECT_EQ(c1.firstPrompt, card.cellInfoOf(1, 0).firstPrompt);
    EXPECT_EQ(c1.promptCount, 2);
    EXPECT_EQ(card.prompts[c3.firstPrompt - 1].text, "c");
    EXPECT_EQ(c3.promptCount, 2);

    // With column 3 sealed, U3 restarts all three lists at its prompt.
    CardFixture g(crlf({"FG", "PS", "C3203040", "V1a", "OA", "U3d", "OB"}));
    for (int c = 0; c < 3; ++c) {
        const CellInfo& info = g.card.cellInfoOf(2, c);
        EXPECT_EQ(info.promptCount, 1);
        EXPECT_EQ(g.card.prompts[info.firstPrompt - 1].text, "d");
    }
}

TEST(Template, NReachesTheLastColumnAndColumnZeroFeedsNoLine) {
    CardFixture f(crlf({"FG", "PS", "C3203040", "N2x", "OA"}));
    EXPECT_EQ(f.card.cellInfoOf(1, 0).promptCount, 0);
    EXPECT_EQ(f.card.cellInfoOf(1, 1).promptCount, 1);
    EXPECT_EQ(f.card.cellInfoOf(1, 2).promptCount, 1);

    CardFixture g(crlf({"FG", "PS", "C13030", "V0zero", "OA"}));
    EXPECT_EQ(g.card.prompts.size(), 2u);  // appended even for column 0
    EXPECT_EQ(g.card.cellInfoOf(1, 0).promptCount, 0);
}

TEST(Template, HelpNumbersPersistUntilChangedOrNewGrid) {
    CardFixture f(crlf({"FG", "PS", "C22020", "Y2120", "OA", "OB", "X1007", "OC", "A3070", "OD"}));
    const Card& card = f.card;
    EXPECT_EQ(card.cellInfoOf(1, 1).helpContext, 120);
    EXPECT_EQ(card.cellInfoOf(2, 1).helpContext, 120);
    EXPECT_EQ(card.cellInfoOf(3, 0).helpContext, 7);
    EXPECT_EQ(card.cellInfoOf(3, 1).helpContext, 120);
    EXPECT_EQ(card.cellInfoOf(4, 1).helpContext, 0);  // cleared by the A record
    EXPECT_EQ(card.sections[0].firstLine2, 4);
}

TEST(Template, LinesAfterAnARecordBelongToGrid2) {
    CardFixture f(crlf({"FG", "PS", "C3203040", "OA", "A2575", "L03"}));
    const Section& form = f.card.sections[0];
    EXPECT_EQ(form.lineCount, 1);
    EXPECT_TRUE(form.hasGrid2);
    EXPECT_EQ(form.lineCount2, 3);
    EXPECT_EQ(form.firstLine2, 2);
    EXPECT_EQ(form.defaultLabelWidth2, 25);
    EXPECT_EQ(form.textWidth2, 75);
    // placeholder, 3 cells of line 1, 2 cells each of lines 2 and 3
    EXPECT_EQ(f.card.lines[4].cellInfoIndex, 1 + 3 + 2 * 2 + 1);
}

TEST(Template, GroupsTabsAndLongNames) {
    const std::string longName(100, 'n');
    CardFixture f(crlf({"F" + longName, "PA", "GSecond group", "PB", "PC", "GThird"}));
    const Card& card = f.card;
    EXPECT_EQ(card.groups[0].name.size(), 80u);
    EXPECT_EQ(card.tabCaptions, (std::vector<std::string>{"1:" + std::string(10, 'n'),
                                                          "2:Second gro", "3:Third", "Notes"}));
    EXPECT_EQ(card.groups[1].firstSection, 1);
    EXPECT_EQ(card.groups[1].sectionCount, 2);
    EXPECT_EQ(card.groups[2].firstSection, 3);
    EXPECT_EQ(card.sections[2].groupIndex, 1);
}

TEST(Template, OnlyTheFirstGroupGivesTwoTabs) {
    CardFixture f(crlf({"FOnly"}));
    EXPECT_EQ(f.card.tabCaptions, (std::vector<std::string>{"1:Only", "Notes"}));
    EXPECT_TRUE(f.card.sections.empty());
}

TEST(Template, LineEndsAndCtrlZ) {
    CardFixture lf("FG\nPS\nC195\nOA\n");
    EXPECT_TRUE(lf.messages.messages.empty());
    EXPECT_EQ(lf.card.sections[0].lineCount, 1);
    CardFixture cz(std::string("FG\r\nPS\r\nC195\r\nOA\r\n\x1AOB\r\n"));
    EXPECT_EQ(cz.card.sections[0].lineCount, 1);
}

TEST(Template, BundledTemplateParsesCleanlyInTheExpectedShape) {
    MessageList messages;
    PlainNotes notes;
    Card card(messages, notes);
    ASSERT_TRUE(card.parseTemplateFile(ZQW_SOURCE_DIR "/data/zqw.sel"));
    EXPECT_EQ(messages.messages, std::vector<std::string>{});
    ASSERT_EQ(card.groups.size(), 8u);
    const int sectionCounts[] = {-1, 4, 3, 2, 8};
    for (int g = 1; g <= 4; ++g) EXPECT_EQ(card.groups[g].sectionCount, sectionCounts[g]) << g;
    const auto section = [&card](int g, int s) -> const Section& {
        return card.sections.at(card.groups.at(g).firstSection + s);
    };
    EXPECT_EQ(section(0, 0).columnCount, 2);
    EXPECT_GE(section(0, 0).lineCount, 4);
    EXPECT_EQ(section(2, 0).columnCount, 3);
    EXPECT_EQ(section(2, 0).lineCount, 3);
    EXPECT_EQ(section(2, 0).lineCount2, 2);
    EXPECT_EQ(section(2, 1).lineCount, 8);
    EXPECT_EQ(section(2, 2).columnCount, 4);
    EXPECT_EQ(section(2, 2).lineCount, 6);
    EXPECT_EQ(section(2, 2).lineCount2, 3);
    EXPECT_EQ(section(4, 3).columnCount, 2);
    EXPECT_EQ(section(5, 0).columnCount, 8);
    EXPECT_TRUE(section(5, 0).hasHeadings);
    EXPECT_EQ(card.lines[section(5, 0).firstLine].label, "1\x05");
    EXPECT_EQ(section(6, 0).columnCount, 1);
    for (const Group& group : card.groups) EXPECT_LE(group.sectionCount, 10);

    int firstWide = -1;
    for (size_t s = 0; s < card.sections.size() && firstWide < 0; ++s) {
        if (card.sections[s].columnCount > 4) firstWide = static_cast<int>(s);
    }
    EXPECT_EQ(firstWide, card.groups[5].firstSection);

    bool brown = false;
    const Section& special = section(1, 1);
    for (int c = 0; c < 1; ++c) {
        const CellInfo& info = card.cellInfoOf(special.firstLine, c);
        for (int p = 0; p < info.promptCount; ++p) {
            brown = brown || card.prompts[info.firstPrompt - 1 + p].text.rfind("*Brown", 0) == 0;
        }
    }
    EXPECT_TRUE(brown);

    // Every cell of every line has a help topic.
    for (const Section& form : card.sections) {
        for (int i = 0; i < form.lineCount; ++i) {
            for (int c = 0; c < form.columnCount; ++c) {
                EXPECT_GT(card.cellInfoOf(form.firstLine + i, c).helpContext, 0)
                    << form.name << i << c;
            }
        }
        for (int i = 0; i < form.lineCount2; ++i) {
            for (int c = 0; c < 2; ++c) {
                EXPECT_GT(card.cellInfoOf(form.firstLine2 + i, c).helpContext, 0)
                    << form.name << i << c;
            }
        }
    }
}

}  // namespace
}  // namespace zqw
