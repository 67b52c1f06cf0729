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

// A card text (Windows-1252, suits stored as the codes 3-6) as UTF-8 with
// the suits as the symbols U+2663, U+2666, U+2665 and U+2660.
std::string cardTextToUnicode(std::string_view text);

// A notes text line as UTF-8: the notes show suits through the display
// characters of the card font, which become the suit symbols here.
std::string notesTextToUnicode(std::string_view text, const SuitChars& chars);

}  // namespace zqw
