#pragma once

#include <functional>
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
    // The label's font size as a share of the print font's: a caption too
    // long for its label is drawn smaller (see fitCaption).
    double scale = 1;
};

// A suit picture whose left edge is at x, drawn at `scale` of its size and
// never past `right`, the edge of the box its caption belongs to.
struct SuitMark {
    int x = 0;
    Suit suit = Suit::Club;
    double scale = 1;
    int right = 0;
};

// Width of a text in printer pixels at the print font's full size.
using CaptionWidth = std::function<int(const std::string&)>;

// The smallest share of the print font a long caption is drawn at. The card
// prints at 7 points by default; three quarters of that, about 5 points, is
// the smallest size still read comfortably on paper at the table.
inline constexpr double kSmallestCaptionScale = 0.75;

// The ellipsis (Windows-1252) that marks a shortened caption.
inline constexpr char kEllipsis = '\x85';

struct FittedCaption {
    std::string text;
    double scale = 1;
};

// Fits a caption into `width`: unchanged when it fits; else drawn smaller,
// down to kSmallestCaptionScale; else shortened at the end of a word and
// marked with an ellipsis. The last `wholeTail` characters (a note
// reference) are always kept whole, even when that needs a smaller size
// still. A single word too long for the width is cut inside, with the
// ellipsis showing the cut.
FittedCaption fitCaption(const std::string& text, size_t wholeTail, int width,
                         const CaptionWidth& widthOf);

// The suit a display character stands for, if it is one of the four.
std::optional<Suit> suitOfDisplayChar(unsigned char c, const SuitChars& chars);

// "Letters (SHDC)": a suit display character above code 128 becomes C, D,
// H or S; everything else is kept. The usual display characters are all
// below 128, so with them the text is unchanged and the card font draws the
// suits.
std::string withSuitLetters(const std::string& text, const SuitChars& chars);

}  // namespace zqw
