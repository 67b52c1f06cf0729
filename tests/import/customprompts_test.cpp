#include "card/customprompts.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/test_support.h"

namespace zqw::test {
namespace {

using PromptList = std::vector<std::string>;

struct ParseCase {
    const char* what;
    std::string bytes;
    PromptList prompts;
};

void PrintTo(const ParseCase& c, std::ostream* out) { *out << c.what; }

class CustomPromptsParsing : public testing::TestWithParam<ParseCase> {};

TEST_P(CustomPromptsParsing, GivesOnePromptPerLineInDisplayForm) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(parseCustomPrompts(c.bytes, SuitChars{}), c.prompts) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, CustomPromptsParsing,
    testing::Values(ParseCase{"CR LF lines",
                              "Stayman\r\nTransfers\r\nTexas\r\n",
                              {"Stayman", "Transfers", "Texas"}},
                    ParseCase{"CR, LF and a last line without end", "a\rb\nc", {"a", "b", "c"}},
                    ParseCase{"empty lines are prompts", "a\r\n\r\n\nb\r\n", {"a", "", "", "b"}},
                    ParseCase{"empty file", "", {}}, ParseCase{"one empty line", "\r\n", {""}},
                    ParseCase{"suit codes become display characters",
                              "1\x05 - 1\x04\r\n3\x03 4\x06\r\n",
                              {"1} - 1{", "3] 4["}},
                    ParseCase{"control bytes become blanks",
                              std::string("a\tb\x01"
                                          "c\x1a"
                                          "d\x7f\0e",
                                          10),
                              {"a b c d  e"}}));

TEST(CustomPromptsWriting, WritesCodesAndCrLfAndKeepsEachPromptOnOneLine) {
    const PromptList prompts = {"1[ weak", "", "see\r\nnote\t12"};
    EXPECT_EQ(customPromptsBytes(prompts, SuitChars{}), "1\x06 weak\r\n\r\nsee  note 12\r\n");
}

TEST(CustomPromptsWriting, FileSurvivesAReadAndAWrite) {
    const std::string file = "Stayman\r\n1\x05 short\r\n\r\nMulti 2\x04\r\n";
    EXPECT_EQ(customPromptsBytes(parseCustomPrompts(file, SuitChars{}), SuitChars{}), file);
}

TEST(CustomPromptsFiles, ReadAndWriteThroughTheDisk) {
    TempDir dir;
    MessageList messages;
    const std::string path = dir.path("prompts.txt");
    writeFile(path, "old\r\n");
    ASSERT_TRUE(writeCustomPromptsFile(path, {"1]", "Pass"}, SuitChars{}, messages));
    EXPECT_EQ(readFile(path), "1\x03\r\nPass\r\n");
    EXPECT_EQ(readCustomPromptsFile(path, SuitChars{}, messages), (PromptList{"1]", "Pass"}));
    EXPECT_TRUE(messages.messages.empty());
}

TEST(CustomPromptsFiles, FailuresAreReportedWithThePath) {
    TempDir dir;
    MessageList messages;
    const std::string missing = dir.path("missing.txt");
    EXPECT_EQ(readCustomPromptsFile(missing, SuitChars{}, messages), std::nullopt);

    // A folder stands where the file should go: the write must fail and
    // say so, so that the list stays marked as modified.
    const std::string blocked = dir.root().string();
    EXPECT_FALSE(writeCustomPromptsFile(blocked, {"a"}, SuitChars{}, messages));
    EXPECT_EQ(messages.messages, (std::vector<std::string>{"Cannot open file " + missing,
                                                           "Cannot create file " + blocked}));
}

}  // namespace
}  // namespace zqw::test
