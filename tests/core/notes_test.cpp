#include <gtest/gtest.h>

#include "card/notesformat.h"
#include "card/plainnotes.h"
#include "test_support.h"

namespace zqw {
namespace {

using Paragraphs = std::vector<std::string>;

struct ReadCase {
    const char* name;
    std::string bytes;
    Paragraphs paragraphs;
};

class NotesReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(NotesReading, SplitsIntoParagraphs) {
    EXPECT_EQ(parseNotes(GetParam().bytes), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotesReading,
    ::testing::Values(ReadCase{"empty", "", {""}}, ReadCase{"crlf", "a\r\nb\r\n", {"a", "b", ""}},
                      ReadCase{"no_last_line_end", "a\r\nb", {"a", "b"}},
                      ReadCase{"mixed_ends", "a\rb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}},
                      ReadCase{"long_line_kept_in_pieces",
                               std::string(32767 * 2 + 5, 'x'),
                               {std::string(32767, 'x'), std::string(32767, 'x'), "xxxxx"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    Paragraphs paragraphs;
    std::string bytes;
};

class NotesWriting : public ::testing::TestWithParam<WriteCase> {};

TEST_P(NotesWriting, WritesCrLfLines) {
    EXPECT_EQ(serializeNotes(GetParam().paragraphs), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotesWriting,
    ::testing::Values(WriteCase{"nothing", {""}, ""}, WriteCase{"one_line", {"a"}, "a\r\n"},
                      WriteCase{"empty_last_paragraph_left_out", {"a", ""}, "a\r\n"},
                      WriteCase{"inner_empty_lines_kept", {"a", "", ""}, "a\r\n\r\n"},
                      WriteCase{"low_controls_as_blanks",
                                {std::string("t\tab\x01\x09\x0A\x05!", 9)},
                                "t ab  \x0A !\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlainNotes, SavesAndLoadsThroughAFile) {
    test::TempDir dir;
    PlainNotes notes;
    notes.setText("Note:..12:\tfirst\n\nsecond\n");
    EXPECT_TRUE(notes.modified());
    const std::string path = dir.path("notes.txt");
    ASSERT_TRUE(notes.saveFile(path));
    EXPECT_FALSE(notes.modified());
    EXPECT_EQ(notes.fileName(), path);
    EXPECT_EQ(test::readFile(path), "Note:..12: first\r\n\r\nsecond\r\n");

    PlainNotes back;
    ASSERT_TRUE(back.loadFile(path));
    EXPECT_EQ(back.text(), "Note:..12: first\n\nsecond\n");
    EXPECT_FALSE(back.loadFile(dir.path("absent.txt")));
    EXPECT_FALSE(back.loadFile(dir.root().string()));  // a folder is not a notes file
    EXPECT_FALSE(back.loadFile("/dev/zero"));          // nor a device that never ends
    back.startEmpty();
    EXPECT_EQ(back.text(), "");
    EXPECT_EQ(back.fileName(), "");
}

}  // namespace
}  // namespace zqw
