#pragma once

#include <string>
#include <vector>

#include "card/card.h"

namespace zqw {

// One place where two cards of the same template (mine and a partner's)
// say different things.
struct CardDifference {
    enum class Kind {
        Cell,         // a cell's text
        NoteNumber,   // the note number attached to a row
        ColumnWidth,  // a grid column's width (only when asked for)
        NotesLine,    // a line of the notes under one note heading
    };
    Kind kind = Kind::Cell;

    // Where, for people: names as the card shows them (Windows-1252).
    std::string group;
    std::string section;
    std::string line;     // the template line's label; "Note N" for notes
    std::string heading;  // the column heading, if any
    // The grid row as the grid counts it (in my card; in theirs when only
    // theirs has the row). For notes: the line's number under its heading,
    // the heading line being 1.
    int row = 0;

    // Where, for the program.
    int sectionIndex = -1;
    int grid = 1;
    int lineIndex = 0;
    int position = 0;    // the row within its template line, from 1
    int gridColumn = 0;  // as the grid counts columns
    int noteNo = 0;      // NotesLine: the note the line stands under (0: before the first)

    // The two sides as card texts (Windows-1252, suits as codes 3-6); a row
    // one side lacks reads as empty. Note numbers read "Note#N", widths as
    // numbers.
    std::string mine;
    std::string theirs;
    int theirsNumber = 0;  // NoteNumber and ColumnWidth: their value
};

struct CompareOptions {
    bool columnWidths = false;
};

// A line's rows (indexes in Card::rows) in chain order; a broken chain ends
// the list early.
std::vector<int> rowsOfLine(const Card& card, int lineIndex);

// Every difference of the answers, section by section in card order, row
// by row, column by column. Both cards must have the same shape (read with
// the same template).
std::vector<CardDifference> compareCards(const Card& mine, const Card& theirs,
                                         const CompareOptions& options = {});

// The notes compared line by line under each note heading, the lines
// before the first heading as note 0. Notes are paragraphs as the notes
// file holds them (display characters for suits); the differences carry
// card texts (suits as codes).
std::vector<CardDifference> compareNotes(const std::vector<std::string>& mine,
                                         const std::vector<std::string>& theirs,
                                         const SuitChars& chars);

// Copies their side of each card difference into my card: a row my line
// lacks is added to the line first. Notes lines are not touched (the notes
// belong to the notes editor). Returns how many differences were applied;
// the card is marked modified when any was.
int takeTheirs(Card& mine, const std::vector<CardDifference>& differences);

// The grid columns of a section that hold answers, each with the field it
// shows: (grid column, field number).
std::vector<std::pair<int, int>> answerColumns(const Section& section, int grid);

}  // namespace zqw
