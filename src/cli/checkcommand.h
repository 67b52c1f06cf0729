#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli check TEMPLATE CARD [--notes NOTES] [--settings INI]
// Checks a card before it goes to the KHF and prints {"findings":
// [{"severity": "error"|"warning", "what", "where"}...]}. The notes are the
// card's linked notes unless --notes names others; the print settings
// those of the settings file's setup section (defaults without one). Exit
// status 0 when nothing is an error, 1 when something is, 2 when a file
// cannot be read or the words are wrong. args are the words after "check".
int runCheckCommand(const std::vector<std::string>& args);

}  // namespace zqw
