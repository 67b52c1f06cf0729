#pragma once

#include <string>
#include <string_view>

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
std::string fieldOf(std::string_view text, int columnCount, int grid, int fieldNo);

// The row text with field n replaced by value; missing fields are created
// empty. The value must hold no TAB.
std::string withField(const std::string& text, int columnCount, int grid, int fieldNo,
                      const std::string& value);

void codesToDisplay(std::string& text, const SuitChars& chars);

// Makes typed, pasted or imported text fit a cell: every control character
// (TAB, line breaks, Ctrl-Z, DEL included) becomes a space, except the suit
// codes 3-6. A TAB would shift the row's later fields and a line break or
// Ctrl-Z would cut the card file.
void cleanCellText(std::string& text);
void displayToCodes(std::string& text, const SuitChars& chars);

}  // namespace zqw
