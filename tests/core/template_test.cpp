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
    ASSERT_EQ(card.Groups.size(), 2u);
    EXPECT_EQ(card.Groups[0].Name, "Basic");
    EXPECT_EQ(card.Groups[0].SectionCount, 1);
    EXPECT_EQ(card.Groups[1].Name, "Notes file");
    EXPECT_EQ(card.Groups[1].SectionCount, 0);
    EXPECT_EQ(card.TabCaptions, (std::vector<std::string>{"1:Basic", "Notes"}));

    ASSERT_EQ(card.Sections.size(), 1u);
    const AForm& form = card.Sections[0];
    EXPECT_EQ(form.ColumnCount, 3);
    EXPECT_EQ(form.FirstColumn, 1);
    EXPECT_TRUE(form.HasHeadings);
    EXPECT_EQ(form.FirstLine, 1);
    EXPECT_EQ(form.LineCount, 2);

    ASSERT_EQ(card.Columns.size(), 4u);
    EXPECT_EQ(card.Columns[1].Width, 20);
    EXPECT_EQ(card.Columns[2].DefaultWidth, 40);
    EXPECT_EQ(card.Columns[3].Heading, "Notes");

    ASSERT_EQ(card.Lines.size(), 3u);
    EXPECT_EQ(card.Lines[1].Label, "1C");
    EXPECT_EQ(card.Lines[2].CellInfoIndex, 5);  // after the placeholder and line 1's three cells
    ASSERT_EQ(card.Prompts.size(), 3u);
    for (int line : {1, 2}) {
        const ACellInfo& column2 = card.CellInfoOf(line, 1);
        EXPECT_EQ(column2.PromptCount, 2);
        EXPECT_EQ(card.Prompts[column2.FirstPrompt - 1].Text, "Natural");
        for (int c = 0; c < 3; ++c) EXPECT_EQ(card.CellInfoOf(line, c).HelpContext, 105);
        EXPECT_EQ(card.CellInfoOf(line, 0).PromptCount, 0);
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
    ASSERT_FALSE(f.card.Groups.empty());
    EXPECT_EQ(f.card.Groups.back().Name, "Notes file");
}

INSTANTIATE_TEST_SUITE_P(
    Records, TemplateMessages,
    ::testing::Values(
        MessageCase{"headings_without_columns", crlf({"FG", "PS", "HA|B"}), {"Headings without columns"}},
        MessageCase{"line_count_zero", crlf({"FG", "PS", "C195", "L00"}), {"Line count zeroL00"}},
        MessageCase{"prompt_column_too_big", crlf({"FG", "PS", "C2", "V3x", "Y5100"}),
                    {"Invalid line in zqw.sel file: C2", "Prompt value for invalid column: V3x",
                     "Prompt value for invalid column: Y5100"}},
        MessageCase{"unknown_kind", crlf({"FG", "PS", "Q what", "c195"}),
                    {"Invalid line in zqw.sel file: Q what", "Invalid line in zqw.sel file: c195"}},
        MessageCase{"empty_line", crlf({"FG", "", "PS"}), {"Invalid line in zqw.sel file: "}},
        MessageCase{"not_decimal", crlf({"FG", "PS", "CX", "C2aa10", "L5x", "A1", "Y1abc", "V?t"}),
                    {"Invalid line in zqw.sel file: CX", "Invalid line in zqw.sel file: C2aa10",
                     "Invalid line in zqw.sel file: L5x", "Invalid line in zqw.sel file: A1",
                     "Invalid line in zqw.sel file: Y1abc", "Invalid line in zqw.sel file: V?t"}},
        MessageCase{"negative_count", crlf({"FG", "PS", "C1-5", "L-1"}),
                    {"Invalid line in zqw.sel file: C1-5", "Invalid line in zqw.sel file: L-1"}},
        MessageCase{"before_first_group", crlf({"PS", "GLate", "FG"}),
                    {"Invalid line in zqw.sel file: PS", "Invalid line in zqw.sel file: GLate"}},
        MessageCase{"second_first_group", crlf({"FG", "FH"}), {"Invalid line in zqw.sel file: FH"}},
        MessageCase{"before_first_section", crlf({"FG", "C195", "L01", "V1x", "HA", "A2020"}),
                    {"Invalid line in zqw.sel file: C195", "Invalid line in zqw.sel file: L01",
                     "Invalid line in zqw.sel file: V1x", "Invalid line in zqw.sel file: HA",
                     "Invalid line in zqw.sel file: A2020"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Template, LeadingBlanksInNumberFieldsAreAllowed) {
    CardFixture f(crlf({"FG", "PS", "C1 5", "L 5", "Y1  42"}));
    EXPECT_TRUE(f.messages.messages.empty());
    EXPECT_EQ(f.card.Columns[1].Width, 5);
    EXPECT_EQ(f.card.Sections[0].LineCount, 5);
}

struct HeadingCase {
    std::string record;
    std::vector<std::string> headings;
};

class TemplateHeadings : public ::testing::TestWithParam<HeadingCase> {};

TEST_P(TemplateHeadings, SplitsAtBars) {
    CardFixture f(crlf({"FG", "PS", "C3203040", GetParam().record}));
    const AForm& form = f.card.Sections[0];
    std::vector<std::string> headings;
    for (int c = 0; c < form.ColumnCount; ++c) headings.push_back(f.card.Columns[form.FirstColumn + c].Heading);
    EXPECT_EQ(headings, GetParam().headings);
}

INSTANTIATE_TEST_SUITE_P(Records, TemplateHeadings,
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
        const ACellInfo& info = card.CellInfoOf(line, column);
        for (int p = 0; p < info.PromptCount; ++p) texts.push_back(card.Prompts[info.FirstPrompt - 1 + p].Text);
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
    const ACellInfo& c1 = card.CellInfoOf(2, 0);
    const ACellInfo& c3 = card.CellInfoOf(2, 2);
    EXPECT_EQ(c1.FirstPrompt, card.CellInfoOf(1, 0).FirstPrompt);
    EXPECT_EQ(c1.PromptCount, 2);
    EXPECT_EQ(card.Prompts[c3.FirstPrompt - 1].Text, "c");
    EXPECT_EQ(c3.PromptCount, 2);

    // With column 3 sealed, U3 restarts all three lists at its prompt.
    CardFixture g(crlf({"FG", "PS", "C3203040", "V1a", "OA", "U3d", "OB"}));
    for (int c = 0; c < 3; ++c) {
        const ACellInfo& info = g.card.CellInfoOf(2, c);
        EXPECT_EQ(info.PromptCount, 1);
        EXPECT_EQ(g.card.Prompts[info.FirstPrompt - 1].Text, "d");
    }
}

TEST(Template, NReachesTheLastColumnAndColumnZeroFeedsNoLine) {
    CardFixture f(crlf({"FG", "PS", "C3203040", "N2x", "OA"}));
    EXPECT_EQ(f.card.CellInfoOf(1, 0).PromptCount, 0);
    EXPECT_EQ(f.card.CellInfoOf(1, 1).PromptCount, 1);
    EXPECT_EQ(f.card.CellInfoOf(1, 2).PromptCount, 1);

    CardFixture g(crlf({"FG", "PS", "C13030", "V0zero", "OA"}));
    EXPECT_EQ(g.card.Prompts.size(), 2u);  // appended even for column 0
    EXPECT_EQ(g.card.CellInfoOf(1, 0).PromptCount, 0);
}

TEST(Template, HelpNumbersPersistUntilChangedOrNewGrid) {
    CardFixture f(crlf({"FG", "PS", "C22020", "Y2120", "OA", "OB", "X1007", "OC", "A3070", "OD"}));
    const Card& card = f.card;
    EXPECT_EQ(card.CellInfoOf(1, 1).HelpContext, 120);
    EXPECT_EQ(card.CellInfoOf(2, 1).HelpContext, 120);
    EXPECT_EQ(card.CellInfoOf(3, 0).HelpContext, 7);
    EXPECT_EQ(card.CellInfoOf(3, 1).HelpContext, 120);
    EXPECT_EQ(card.CellInfoOf(4, 1).HelpContext, 0);  // cleared by the A record
    EXPECT_EQ(card.Sections[0].FirstLine2, 4);
}

TEST(Template, LinesAfterAnARecordBelongToGrid2) {
    CardFixture f(crlf({"FG", "PS", "C3203040", "OA", "A2575", "L03"}));
    const AForm& form = f.card.Sections[0];
    EXPECT_EQ(form.LineCount, 1);
    EXPECT_TRUE(form.HasGrid2);
    EXPECT_EQ(form.LineCount2, 3);
    EXPECT_EQ(form.FirstLine2, 2);
    EXPECT_EQ(form.DefaultLabelWidth2, 25);
    EXPECT_EQ(form.TextWidth2, 75);
    // placeholder, 3 cells of line 1, 2 cells each of lines 2 and 3
    EXPECT_EQ(f.card.Lines[4].CellInfoIndex, 1 + 3 + 2 * 2 + 1);
}

TEST(Template, GroupsTabsAndLongNames) {
    const std::string longName(100, 'n');
    CardFixture f(crlf({"F" + longName, "PA", "GSecond group", "PB", "PC", "GThird"}));
    const Card& card = f.card;
    EXPECT_EQ(card.Groups[0].Name.size(), 80u);
    EXPECT_EQ(card.TabCaptions,
              (std::vector<std::string>{"1:" + std::string(10, 'n'), "2:Second gro", "3:Third", "Notes"}));
    EXPECT_EQ(card.Groups[1].FirstSection, 1);
    EXPECT_EQ(card.Groups[1].SectionCount, 2);
    EXPECT_EQ(card.Groups[2].FirstSection, 3);
    EXPECT_EQ(card.Sections[2].GroupIndex, 1);
}

TEST(Template, OnlyTheFirstGroupGivesTwoTabs) {
    CardFixture f(crlf({"FOnly"}));
    EXPECT_EQ(f.card.TabCaptions, (std::vector<std::string>{"1:Only", "Notes"}));
    EXPECT_TRUE(f.card.Sections.empty());
}

TEST(Template, LineEndsAndCtrlZ) {
    CardFixture lf("FG\nPS\nC195\nOA\n");
    EXPECT_TRUE(lf.messages.messages.empty());
    EXPECT_EQ(lf.card.Sections[0].LineCount, 1);
    CardFixture cz(std::string("FG\r\nPS\r\nC195\r\nOA\r\n\x1AOB\r\n"));
    EXPECT_EQ(cz.card.Sections[0].LineCount, 1);
}

TEST(Template, BundledTemplateParsesCleanlyInTheExpectedShape) {
    MessageList messages;
    PlainNotes notes;
    Card card(messages, notes);
    ASSERT_TRUE(card.ParseTemplateFile(ZQW_SOURCE_DIR "/data/zqw.sel"));
    EXPECT_EQ(messages.messages, std::vector<std::string>{});
    ASSERT_EQ(card.Groups.size(), 8u);
    const int sectionCounts[] = {-1, 4, 3, 2, 8};
    for (int g = 1; g <= 4; ++g) EXPECT_EQ(card.Groups[g].SectionCount, sectionCounts[g]) << g;
    const auto section = [&card](int g, int s) -> const AForm& {
        return card.Sections.at(card.Groups.at(g).FirstSection + s);
    };
    EXPECT_EQ(section(0, 0).ColumnCount, 2);
    EXPECT_GE(section(0, 0).LineCount, 4);
    EXPECT_EQ(section(2, 0).ColumnCount, 3);
    EXPECT_EQ(section(2, 0).LineCount, 3);
    EXPECT_EQ(section(2, 0).LineCount2, 2);
    EXPECT_EQ(section(2, 1).LineCount, 8);
    EXPECT_EQ(section(2, 2).ColumnCount, 4);
    EXPECT_EQ(section(2, 2).LineCount, 6);
    EXPECT_EQ(section(2, 2).LineCount2, 3);
    EXPECT_EQ(section(4, 3).ColumnCount, 2);
    EXPECT_EQ(section(5, 0).ColumnCount, 8);
    EXPECT_TRUE(section(5, 0).HasHeadings);
    EXPECT_EQ(card.Lines[section(5, 0).FirstLine].Label, "1\x05");
    EXPECT_EQ(section(6, 0).ColumnCount, 1);
    for (const AGroupHead& group : card.Groups) EXPECT_LE(group.SectionCount, 10);

    int firstWide = -1;
    for (size_t s = 0; s < card.Sections.size() && firstWide < 0; ++s) {
        if (card.Sections[s].ColumnCount > 4) firstWide = static_cast<int>(s);
    }
    EXPECT_EQ(firstWide, card.Groups[5].FirstSection);

    bool brown = false;
    const AForm& special = section(1, 1);
    for (int c = 0; c < 1; ++c) {
        const ACellInfo& info = card.CellInfoOf(special.FirstLine, c);
        for (int p = 0; p < info.PromptCount; ++p) {
            brown = brown || card.Prompts[info.FirstPrompt - 1 + p].Text.rfind("*Brown", 0) == 0;
        }
    }
    EXPECT_TRUE(brown);

    // Every cell of every line has a help topic.
    for (const AForm& form : card.Sections) {
        for (int i = 0; i < form.LineCount; ++i) {
            for (int c = 0; c < form.ColumnCount; ++c) {
                EXPECT_GT(card.CellInfoOf(form.FirstLine + i, c).HelpContext, 0) << form.Name << i << c;
            }
        }
        for (int i = 0; i < form.LineCount2; ++i) {
            for (int c = 0; c < 2; ++c) {
                EXPECT_GT(card.CellInfoOf(form.FirstLine2 + i, c).HelpContext, 0) << form.Name << i << c;
            }
        }
    }
}

}  // namespace
}  // namespace zqw
