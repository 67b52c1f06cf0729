#pragma once

#include <string>
#include <vector>

#include "card/card.h"

namespace zqw {

// The card as one self-contained HTML5 page (UTF-8, styles embedded, no
// other files): the title and the partnership's names at the top, each
// group a heading with each section's grids as tables with header cells,
// suits as red and black symbols, and the notes at the end, each Note#N of
// the card a link to its note's heading. Every card and notes text is
// escaped. title is the card's printed title; notes are the notes
// paragraphs (chars' display characters for suits), empty when there are
// none.
std::string cardHtml(const Card& card, const std::vector<std::string>& notes,
                     const std::string& title, const SuitChars& chars);

// Writes the page atomically, as every output of the program is written;
// false, with why set, when it could not be written.
bool writeCardHtml(const std::string& path, const std::string& html, std::string* why = nullptr);

}  // namespace zqw
