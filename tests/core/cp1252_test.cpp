#include "card/cp1252.h"

#include <gtest/gtest.h>

namespace zqw {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

struct CodecCase {
    std::string bytes;
    std::string utf8;
};

class Cp1252Cases : public ::testing::TestWithParam<CodecCase> {};

TEST_P(Cp1252Cases, DecodesAndEncodes) {
    EXPECT_EQ(cp1252ToUtf8(GetParam().bytes), GetParam().utf8);
    EXPECT_EQ(utf8ToCp1252(GetParam().utf8), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp1252Cases,
    ::testing::Values(CodecCase{"plain", "plain"}, CodecCase{"\x80", "\xE2\x82\xAC"},  // euro
                      CodecCase{"caf\xE9", "caf\xC3\xA9"},                             // e acute
                      CodecCase{"\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},             // quotes
                      CodecCase{"\x8E\x81", "\xC5\xBD\xC2\x81"},  // Z caron, undefined 0x81
                      CodecCase{std::string("\x05\x00", 2), std::string("\x05\x00", 2)}));

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1252("\xE2\x99\xA0"), "?");  // spade suit: not in Windows-1252
    EXPECT_EQ(utf8ToCp1252("a\xC3"), "a?");        // cut sequence
    EXPECT_EQ(utf8ToCp1252("\xFF"
                           "b"),
              "?b");                                   // not a lead byte
    EXPECT_EQ(utf8ToCp1252("\xF0\x9F\x98\x80"), "?");  // outside the BMP
}

}  // namespace
}  // namespace zqw
