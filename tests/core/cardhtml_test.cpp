#include "card/cardhtml.h"

#include <gtest/gtest.h>

#include <ostream>

#include "test_support.h"

namespace zqw {
namespace {

using test::CardFixture;
using test::crlf;

// One group "G" with a section "Bids" of three columns (lines 1C, 1D) and
// a section "Text" of one column (two lines without labels).
std::string htmlTemplate() {
    return crlf(
        {"FG", "PBids", "C3204040", "HBid|Meaning|Notes|", "O1C", "O1D", "PText", "C199", "L02"});
}

struct HtmlCase {
    const char* name;
    std::string answer;  // the first answer of section Text
    int noteNo;
    std::vector<std::string> notes;
    std::vector<std::string> wanted;  // parts of the page, in order
    std::vector<std::string> unwanted;
};

const HtmlCase kCases[] = {
    {"markup is escaped",
     "<script>x</script> & \"q\"",
     0,
     {},
     {"<td>&lt;script&gt;x&lt;/script&gt; &amp; &quot;q&quot;</td>"},
     // The blank second row of Text is left off; no notes, no notes part.
     {"<script>", "<h2>Notes</h2>", "<tr><td></td></tr>"}},
    {"suits in colour",
     "1\x03 or 1\x06, not 1\x05/1\x04",
     0,
     {},
     {"1<span class=\"red\">\u2665</span> or 1<span class=\"black\">\u2660</span>, not "
      "1<span class=\"black\">\u2663</span>/1<span class=\"red\">\u2666</span>"},
     {}},
    {"a note number links to its heading",
     "Bergen",
     3,
     {"Our notes", "Note:..3: Bergen", "3} weak", "  3{ mixed", "", "after a gap"},
     {"<td>Bergen <a href=\"#note-3\">Note#3</a></td>", "<h2>Notes</h2>", "<p>Our notes</p>",
      "<h3 id=\"note-3\">Note:..3: Bergen</h3>",
      "<p>3<span class=\"black\">\u2663</span> weak<br>  3<span class=\"red\">\u2666</span> "
      "mixed</p>",
      "<p>after a gap</p>"},
     {}},
    {"no link to a heading that is not there",
     "see Note#4 and Note#3",
     4,
     {"Note:..3: three", "Note:..3: three again"},
     {"<td>see Note#4 and <a href=\"#note-3\">Note#3</a> Note#4</td>", "<h3 id=\"note-3\">",
      "<h3>Note:..3: three again</h3>"},
     {"#note-4"}},
};

// Failures name the case rather than dump its bytes.
void PrintTo(const HtmlCase& c, std::ostream* os) { *os << c.name; }

class HtmlTest : public ::testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlTest, ShowsTheCardAsAPage) {
    const HtmlCase& c = GetParam();
    CardFixture f(htmlTemplate());
    f.card.resetToBlankCard();
    const RowRef first = f.card.findGridRow(1, 1, 1);
    f.card.setField(first, 1, 1, c.answer);
    f.card.rows[first.row].noteNo = c.noteNo;
    f.card.setField(f.card.findGridRow(0, 1, 1), 1, 2, "Strong");

    const std::string page = cardHtml(f.card, c.notes, "Title <1>", SuitChars{});
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\n<html lang=\"en\">", 0), 0u);
    size_t at = 0;
    for (const std::string& part : c.wanted) {
        const size_t found = page.find(part, at);
        EXPECT_NE(found, std::string::npos) << part << "\n" << page;
        if (found != std::string::npos) at = found + part.size();
    }
    for (const std::string& part : c.unwanted)
        EXPECT_EQ(page.find(part), std::string::npos) << part;
    // The shape every page has.
    EXPECT_NE(page.find("<h1>Title &lt;1&gt;</h1>"), std::string::npos);
    EXPECT_NE(page.find("<caption>Bids</caption>\n<thead><tr><th scope=\"col\">Bid</th><th "
                        "scope=\"col\">Meaning</th><th scope=\"col\">Notes</th></tr></thead>"),
              std::string::npos);
    EXPECT_NE(page.find("<tr><th scope=\"row\">1C</th><td>Strong</td><td></td></tr>"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Pages, HtmlTest, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

TEST(HtmlFile, IsWrittenWholeOrNotAtAll) {
    test::TempDir dir;
    const std::string path = dir.path("card.html");
    ASSERT_TRUE(writeCardHtml(path, "<!DOCTYPE html>\n"));
    EXPECT_EQ(test::readFile(path), "<!DOCTYPE html>\n");
    std::string why;
    EXPECT_FALSE(writeCardHtml(dir.root().string(), "x", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(writeCardHtml(dir.path("no/such/folder.html"), "x", &why));
}

}  // namespace
}  // namespace zqw
