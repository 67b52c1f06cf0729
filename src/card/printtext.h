#pragma once

#include <optional>
#include <string>
#include <vector>

#include "card/texthelpers.h"

namespace zqw {

// How suit symbols reach paper; the numbers are the stored "BitMap" values.
enum class SuitSymbolStyle { Pictures = 0, Letters = 1, CardFont = 2 };

enum class Suit { Club = 0, Diamond = 1, Heart = 2, Spade = 3 };

// One caption of a printed row or notes line. Lengths are printer pixels.
// The caption never widens its label: what does not fit is cut off.
struct PrintLabel {
    int x = 0;
    int width = 0;
    // Windows-1252; the four suit display characters stand for suits unless
    // the style turned them into pictures.
    std::string text;
    bool silver = false;  // heading background; otherwise transparent
};

// A suit picture whose left edge is at x.
struct SuitMark {
    int x = 0;
    Suit suit = Suit::Club;
};

// The suit a display character stands for, if it is one of the four.
std::optional<Suit> suitOfDisplayChar(unsigned char c, const SuitChars& chars);

// "Letters (SHDC)": a suit display character above code 128 becomes C, D,
// H or S; everything else is kept. The usual display characters are all
// below 128, so with them the text is unchanged and the card font draws the
// suits.
std::string withSuitLetters(const std::string& text, const SuitChars& chars);

}  // namespace zqw
