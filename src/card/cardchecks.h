#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "card/card.h"
#include "card/cardprintplan.h"
#include "card/lineops.h"
#include "card/zqwpackage.h"

namespace zqw {

// The largest package the e-mail to the KHF may carry. Mail servers refuse
// messages above a size limit; the common default is 10,240,000 bytes
// (Postfix's message_size_limit), and the smallest limits in wide use are of
// that order. The package travels base64-encoded, 4 bytes for 3 with a line
// break every 76 characters, so 10,240,000 bytes of message hold
// 10,240,000 x 3/4 x 76/78 = 7,483,076 bytes of package; the rest of the
// message (headers, the text part) is kept within the difference.
inline constexpr uint64_t kMostMailedPackageBytes = 7400000;

// Something a card should not go to the KHF with.
struct CheckFinding {
    enum class Severity { Error, Warning };
    enum class Place { None, Cell, NotesLine, NotesFile };

    Severity severity = Severity::Error;
    // For people; card texts (Windows-1252, suits as codes 3-6).
    std::string what;
    std::string where;

    // For the program: the cell (section, grid, grid row and column as the
    // grid counts them) or the notes paragraph (from 1).
    Place place = Place::None;
    int section = -1;
    int grid = 1;
    int gridRow = 0;
    int gridColumn = 0;
    int notesParagraph = 0;
};

// Each Note#N on the card (a row's note number, or written in a cell) with
// no heading N in the notes: an error. Each note heading nothing on the
// card refers to: a warning. notes are the notes paragraphs.
std::vector<CheckFinding> checkNoteReferences(const Card& card,
                                              const std::vector<std::string>& notes);

// Empty partnership names or KHF numbers: the first section's lines so
// labelled.
std::vector<CheckFinding> checkPartnership(const Card& card);

// Control characters in cells, which the card file cannot hold: a TAB would
// shift the row's later answers, a line break or Ctrl-Z cut the file.
std::vector<CheckFinding> checkCardCharacters(const Card& card);

// Characters of the notes (UTF-8 lines) that the notes file cannot hold:
// those without a Windows-1252 byte become "?", and control characters
// (TAB included) become blanks.
std::vector<CheckFinding> checkNotesCharacters(const std::vector<std::string>& utf8Lines);

// The card links a notes file (linkedName, as its first record names it)
// that is not there.
std::vector<CheckFinding> checkNotesLink(const std::string& linkedName, bool notesFound);

// Answers the plan had to shorten to fit their printed cells (past the
// smallest type it draws them in): each names the cell and what is left out.
std::vector<CheckFinding> checkPrintedCells(const Card& card, const CardPrintPlan& plan);

std::vector<CheckFinding> checkPackageSize(uint64_t packageBytes);

// What the editor and the command line know of a card besides the card.
struct CheckInputs {
    // The notes paragraphs; none when the linked notes cannot be read (then
    // no note reference is checked: the missing file is the finding).
    std::optional<std::vector<std::string>> notes;
    // The notes as the editor holds them, in UTF-8, one entry a line.
    std::vector<std::string> notesUtf8;
    std::string linkedNotes;
    bool notesFound = true;
    std::optional<uint64_t> packageBytes;
    // checkPrintedCells at the current print settings.
    std::vector<CheckFinding> printed;
};

// Every check in the order a reader goes through a card: the partnership,
// the cells, the notes, the print, the package.
std::vector<CheckFinding> checkCard(const Card& card, const CheckInputs& inputs);

bool hasErrors(const std::vector<CheckFinding>& findings);

}  // namespace zqw
