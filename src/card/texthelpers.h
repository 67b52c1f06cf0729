#pragma once

#include <string>

namespace zqw {

// The display characters the card fonts draw as suits.
struct SuitChars {
    int club = '}';
    int diamond = '{';
    int heart = ']';
    int spade = '[';
};

// Field n (from 1) of a row text. grid 2 and single-column grids have one
// field, the whole text; in a multi-column grid each field ends with a TAB.
std::string fieldOf(const std::string& text, int columnCount, int grid, int fieldNo);

// The row text with field n replaced by value; missing fields are created
// empty. The value must hold no TAB.
std::string withField(const std::string& text, int columnCount, int grid, int fieldNo,
                      const std::string& value);

void codesToDisplay(std::string& text, const SuitChars& chars);
void displayToCodes(std::string& text, const SuitChars& chars);

}  // namespace zqw
