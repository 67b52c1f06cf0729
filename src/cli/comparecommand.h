#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli compare TEMPLATE MINE.ccf THEIRS.ccf [--notes MINE.txt THEIRS.txt]
//                    [--widths]
// Prints {"messages": [...], "differences": [{"group", "section", "line",
// "heading", "row", "mine", "theirs"}...]} with suits as symbols; column
// widths only with --widths. Exit status as diff's: 0 when the cards (and
// notes) are equal, 1 when they differ, 2 when a file cannot be read or
// the words are wrong. args are the words after "compare".
int runCompareCommand(const std::vector<std::string>& args);

}  // namespace zqw
