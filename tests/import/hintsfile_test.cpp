#include "card/hintsfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "core/test_support.h"

namespace zqw::test {
namespace {

using Lines = std::vector<std::string>;

// Hint 2 stands before hint 1; hint 3's header has text before the marker
// and blanks before the number; "$*$1x" and "$*$123456" are not hints 1 and
// 123456 but still end the hint before them.
const std::string kHints = crlf({
    "$*$2",
    "Second",
    "$*$1",
    "First",
    "",
    "after an empty line",
    "Shown: $*$   3",
    "Third",
    "$*$1x",
    "not a hint",
    "$*$123456",
    "five digits",
    "$*$3",
    "a later hint 3",
});

TEST(HintsFile, FindsHintsByNumberUpToTheNextHeader) {
    const HintsFile hints(kHints);
    const SuitChars chars;
    EXPECT_EQ(hints.find(1, chars), (Lines{"First", "", "after an empty line"}));
    EXPECT_EQ(hints.find(2, chars), (Lines{"Second"}));
    EXPECT_EQ(hints.find(3, chars), (Lines{"Third"})) << "the first header with the number wins";
    EXPECT_EQ(hints.find(12345, chars), (Lines{"five digits"})) << "five characters are read";
    EXPECT_EQ(hints.find(123456, chars), std::nullopt);
    EXPECT_EQ(hints.find(4, chars), std::nullopt);
    EXPECT_EQ(HintsFile().find(1, chars), std::nullopt);
}

TEST(HintsFile, FirstSuitMarkerOfALineBecomesTheDisplayCharacter) {
    const std::pair<std::string, std::string> cases[] = {
        {"Open 1$#$c", "Open 1}"},
        {"$#$d, $#$h", "{, $#$h"},
        {"x$#$s!", "x[!"},
        {"$#$q stays", "$#$q stays"},
        {"$#$C stays", "$#$C stays"},
        {"ends in $#$", "ends in $#$"},
        {"$#$h" + std::string(300, 'a'), "]" + std::string(255, 'a')},
    };
    for (const auto& [line, shown] : cases) {
        EXPECT_EQ(HintsFile(crlf({"$*$1", line})).find(1, SuitChars{}), Lines{shown}) << line;
    }
    SuitChars chars;
    chars.spade = 'S';
    EXPECT_EQ(HintsFile(crlf({"$*$1", "1$#$s"})).find(1, chars), Lines{"1S"});
}

TEST(HintsFile, MissingHintsFallBackToHintOne) {
    const HintsFile hints(crlf({"$*$1", "one", "$*$2", "two", "$*$3", "three"}));
    const SuitChars chars;
    const auto shown = hints.choose(3, chars);
    EXPECT_EQ(shown.number, 3);
    EXPECT_EQ(shown.text, Lines{"three"});

    const auto next = hints.choose(nextHintNumber(shown.number), chars);
    EXPECT_EQ(next.number, 1);
    EXPECT_EQ(next.text, Lines{"one"});
    EXPECT_EQ(nextHintNumber(next.number), 2) << "closing stores the following number";

    const auto none = HintsFile(crlf({"$*$2", "two"})).choose(5, chars);
    EXPECT_EQ(none.number, 1);
    EXPECT_EQ(none.text, std::nullopt) << "the window keeps its text";

    EXPECT_EQ(nextHintNumber(INT_MAX), 1);
}

TEST(HintsFile, BundledHintsAreAllReachable) {
    MessageList messages;
    const auto hints = HintsFile::load(ZQW_SOURCE_DIR "/data/ccehints.txt", messages);
    ASSERT_TRUE(hints);
    const SuitChars chars;
    int number = 1;
    while (hints->find(number, chars)) number = nextHintNumber(number);
    EXPECT_GT(number, 30);
    EXPECT_EQ(hints->choose(number, chars).number, 1);
    const auto suits = hints->find(3, chars);
    ASSERT_TRUE(suits);
    EXPECT_NE(std::find(suits->begin(), suits->end(), "F5 gives }"), suits->end());
    EXPECT_TRUE(messages.messages.empty());
}

TEST(HintsFile, UnreadableFileIsReportedWithItsPath) {
    TempDir dir;
    MessageList messages;
    EXPECT_FALSE(HintsFile::load(dir.path("ccehints.txt"), messages).has_value());
    EXPECT_EQ(messages.messages,
              std::vector<std::string>{"Cannot open file " + dir.path("ccehints.txt")});
}

}  // namespace
}  // namespace zqw::test
