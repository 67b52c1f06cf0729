#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli pack CARD OUT.zqw: writes the package of a card file and the
// notes file it links, exactly as the editor's Produce command does (card
// first, notes second, bare names; an existing package keeps its other
// entries). args are the words after "pack". Returns 0 when the package was
// written, 2 with a one-line error on standard error when not.
int runPackCommand(const std::vector<std::string>& args);

}  // namespace zqw
