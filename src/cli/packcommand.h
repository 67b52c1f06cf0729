#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli pack CARD OUT.zqw [--notes FILE]: writes the package of a card
// file and the notes file it links, exactly as the editor's Produce command
// does (card first, notes second, bare names; an existing package keeps its
// other entries). The notes are those opening the card would open without a
// question; a link the editor would ask about is refused unless --notes
// names the notes file. args are the words after "pack". Returns 0 when the
// package was written, naming the notes packed on standard error; 2 with a
// one-line error on standard error when not.
int runPackCommand(const std::vector<std::string>& args);

}  // namespace zqw
