#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/texthelpers.h"

namespace zqw {

// The note number of a note heading line ("Note:..12: text" gives 12):
// "Note:.." in any letter case, after blanks at most, then the number and
// a colon. nullopt for any other line.
std::optional<int> noteHeadingNumber(std::string_view line);

// Note numbers a text refers to by "Note#N", in order of appearance.
std::vector<int> noteReferencesIn(std::string_view text);

// A notes text cut at its headings: the lines before the first heading
// (note 0), then each note with its heading line first. Paragraph numbers
// are 1-based positions in the whole notes text.
struct NoteBlock {
    int noteNo = 0;
    int firstParagraph = 1;
    std::vector<std::string> lines;
};
std::vector<NoteBlock> splitNotes(const std::vector<std::string>& paragraphs);

}  // namespace zqw
