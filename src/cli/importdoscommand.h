#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli import-dos TEMPLATE FILE.ver OUT.ccf [NOTES.txt]: makes a blank
// card with empty notes, imports the DOS card into them as the editor's File
// menu does, saves the notes to NOTES.txt and links them when it is given,
// and writes the card to OUT.ccf. Prints {"messages": [...]}; a .ver file
// that cannot be opened is such a message, and the blank card is written
// all the same. args are the words after "import-dos". Returns 0, or 2 for a
// usage error, an unreadable template or an output that cannot be written
// (notes that cannot be saved leave the card unwritten: it would link them).
int runImportDosCommand(const std::vector<std::string>& args);

}  // namespace zqw
