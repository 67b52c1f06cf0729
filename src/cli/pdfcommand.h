#pragma once

#include <string>
#include <vector>

namespace zqw {

// zqwcce-cli pdf TEMPLATE CARD OUT.pdf [--page all|1|2] [--settings INI]
//                [--notes NOTES-OUT.pdf]
// Writes the card as "Print to file" does, with the print settings of the
// settings file's setup section (defaults for keys it lacks), and with
// --notes the card's linked notes as well. Runs without a display. args are
// the words after "pdf". Returns 0 on success, 1 when the chosen pages are
// empty, 2 for a usage error, an input that cannot be read or an output
// that cannot be written (with a one-line message).
int runPdfCommand(const std::vector<std::string>& args);

}  // namespace zqw
