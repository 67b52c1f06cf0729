#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli html TEMPLATE CARD OUT.html [--notes NOTES]
// Writes the card as one self-contained web page, with the card's linked
// notes or those --notes names. Exit status 0 when written, 2 when a file
// cannot be read or written or the words are wrong (with a one-line
// message). args are the words after "html".
int runHtmlCommand(const std::vector<std::string>& args);

}  // namespace zqw
