#pragma once

#include <string>
#include <vector>

#include "card/card.h"
#include "card/lineops.h"
#include "card/printtext.h"

namespace zqw {

// The printed notes, worked out without drawing: one band per notes line
// (more when a line is wider than the page), pages filled from the top,
// page sets that restart their numbering at note headings, and what each
// band prints where. Lengths are printer pixels; x is measured from the left
// edge of the page's printable area and y from its top.

// Part of the notes to print: lines from 1, columns from 0 counting the
// characters of the line as the editor holds it (tabs as one). The start
// column is the first selected character; the end column is the first one
// after the selection.
struct NotesSelection {
    int startLine = 1;
    int startColumn = 0;
    int endLine = 1;
    int endColumn = 0;
};

struct NotesPrintOptions {
    bool selectionOnly = false;
    NotesSelection selection;
    bool newPageForEachNote = false;
    bool newPageForBrownSticker = true;
    SuitSymbolStyle suits = SuitSymbolStyle::CardFont;
    SuitChars suitChars;

    // The notes file's path (only its name is printed) and the two card
    // texts of the title and the brown sticker heading.
    std::string notesFileName;
    std::string titleText1;
    std::string titleText2;

    // The printable area and the strips of a page.
    int pageWidth = 0;
    int pageHeight = 0;
    int titleHeight = 0;        // first page only
    int footerHeight = 0;       // every page
    int groupHeaderHeight = 0;  // first page of each page set
    int lineHeight = 0;         // one band
    int labelLeft = 1;
    // Space a suit picture takes in the Pictures style.
    int pictureAdvance = 35;
    // Width of a text in the print font. Lines wider than the page are
    // wrapped with it, so it is required.
    TextWidth textWidth;
    int tabSize = 8;
};

// One printed band: a whole notes line, or one piece of a wrapped line.
struct NotesBand {
    int top = 0;
    int height = 0;
    int sourceLine = 0;      // editor line, from 1
    bool ruleAbove = false;  // the first band of a note heading
    std::vector<PrintLabel> labels;
    std::vector<SuitMark> pictures;
};

struct NotesPage {
    int pageSet = 0;      // from 0
    int numberInSet = 1;  // from 1
    int pagesInSet = 1;
    bool showsTitle = false;
    // The strip at the top of a page set; its caption is empty unless the
    // set begins with the brown sticker note.
    bool hasGroupHeader = false;
    std::string groupHeader;
    std::vector<NotesBand> bands;
};

struct NotesTitleTexts {
    std::string first;   // column 1 of the card's fourth template line
    std::string second;  // the same of the second template line
};

// The two card texts the notes printout names, taken from the first
// section of the card, suits as the display characters chars gives.
NotesTitleTexts notesTitleTexts(const Card& card, const SuitChars& chars);

// Expands tabs to the next multiple of tabSize columns.
std::string expandTabs(const std::string& line, int tabSize);

class NotesPrintPlan {
public:
    // Lays out every line of the range (lines are Windows-1252 texts as the
    // editor holds them). Linear in the size of the notes.
    static NotesPrintPlan build(const std::vector<std::string>& lines,
                                const NotesPrintOptions& options);

    // "Supplementary notes file (name) text1 (text2)".
    const std::string& title() const { return title_; }
    const std::vector<NotesPage>& pages() const { return pages_; }

private:
    std::string title_;
    std::vector<NotesPage> pages_;
};

}  // namespace zqw
