#include "card/rowstring.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zqw {
namespace {

// Texts of each length class: empty, held inside the object, on the heap,
// and (through Blocks) in a shared block; with the bytes a card stores.
const std::vector<std::string> kTexts = {
    "",
    std::string(1, '\0'),
    "\t1\x05\t",
    "7 bytes",
    "8 bytes!",
    "\tForcing one round\tsee note\t",
    std::string("\0\x03\n\xFF", 4) + std::string(500, 'x'),
    std::string(20000, 'w'),  // longer than a view can say
};

TEST(RowString, HoldsEveryTextWhereverItLives) {
    RowString::Blocks blocks;
    for (const std::string& text : kTexts) {
        const RowString own(text);
        const RowString shared = blocks.add(text);
        for (const RowString* held : {&own, &shared}) {
            EXPECT_EQ(held->size(), text.size());
            EXPECT_EQ(held->empty(), text.empty());
            EXPECT_EQ(held->view(), text);
            EXPECT_EQ(std::string(*held), text);
            EXPECT_EQ(std::string(held->begin(), held->end()), text);
        }
        EXPECT_EQ(own, shared);
    }
}

TEST(RowString, CopiesOutliveTheBlocksAndTheOtherViews) {
    std::vector<RowString> kept;
    {
        auto blocks = std::make_unique<RowString::Blocks>(size_t{64} << 20);
        std::vector<RowString> read;
        // Enough texts to fill several blocks.
        for (int i = 0; i < 200000; ++i)
            read.push_back(blocks->add("row text " + std::to_string(i)));
        // Views let go while their block is still being filled.
        read.erase(read.begin() + 10, read.begin() + 20);
        blocks.reset();
        for (size_t i = 0; i < read.size(); i += 997) kept.push_back(read[i]);
    }
    // Every block the kept copies lie in is still there, the rest are gone.
    EXPECT_EQ(kept.front(), "row text 0");
    EXPECT_EQ(kept[1], "row text " + std::to_string(997 + 10));
    EXPECT_EQ(kept.back().view().substr(0, 9), "row text ");
}

TEST(RowString, BlocksHoldTextsOfEveryLengthSideBySide) {
    // Texts are copied into a block in pieces by their length: every length
    // up to past the longest piece, each text beside the one before, must
    // come back whole and leave its neighbours as they were.
    RowString::Blocks blocks;
    std::vector<std::string> texts;
    std::vector<RowString> held;
    for (size_t length = 0; length <= 200; ++length) {
        std::string text(length, ' ');
        for (size_t i = 0; i < length; ++i)
            text[i] = static_cast<char>('A' + (i * 7 + length) % 58);
        texts.push_back(text);
        held.push_back(blocks.add(text));
    }
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(held[i].view(), texts[i]) << i;
}

TEST(RowString, AssignmentsReplaceTheText) {
    RowString::Blocks blocks;
    RowString text = blocks.add("a text in a shared block");
    text = std::string_view(text).substr(2, 4);  // a part of itself
    EXPECT_EQ(text, "text");
    const RowString& same = text;
    text = same;
    EXPECT_EQ(text, "text");
    RowString other = "a second text on the heap";
    text.swap(other);
    EXPECT_EQ(text, "a second text on the heap");
    EXPECT_EQ(other, "text");
    text = std::move(other);
    EXPECT_EQ(text, "text");
    text.assign(3, '\0');
    EXPECT_EQ(text, std::string(3, '\0'));
    text.clear();
    EXPECT_TRUE(text.empty());
    EXPECT_NE(text, "x");
}

}  // namespace
}  // namespace zqw
