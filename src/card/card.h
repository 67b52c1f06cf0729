#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "card/messagesink.h"
#include "card/noteseditor.h"
#include "card/rowstring.h"
#include "card/texthelpers.h"

namespace zqw {

class NotesLinkApproval;

// Texts are Windows-1252 byte strings; suit symbols are stored as the bytes
// 5 (club), 4 (diamond), 3 (heart) and 6 (spade).

struct Group {
    std::string name;
    int firstSection = 0;
    int sectionCount = 0;
};

struct Section {
    int groupIndex = 0;
    std::string name;
    int columnCount = 0;
    int firstColumn = 0;
    bool hasHeadings = false;
    int lineCount = 0;
    int rowCount = 0;
    int firstLine = 0;
    bool hasGrid2 = false;
    int lineCount2 = 0;
    int rowCount2 = 0;
    int firstLine2 = 0;
    int labelWidth2 = 0;
    int textWidth2 = 0;
    int defaultLabelWidth2 = 0;
    int defaultTextWidth2 = 0;
};

struct TemplateLine {
    int firstRow = 0;
    int rowCount = 0;
    std::string label;
    int cellInfoIndex = 0;
};

struct ColumnHead {
    int width = 0;
    int defaultWidth = 0;
    std::string heading;
};

struct Prompt {
    std::string text;
};

struct RowText {
    RowString text;
    int prevRow = 0;
    int nextRow = 0;
    int noteNo = 0;
};

struct CellInfo {
    int promptCount = 0;
    int firstPrompt = 0;
    int helpContext = 0;
};

inline constexpr char kClubCode = 5;
inline constexpr char kDiamondCode = 4;
inline constexpr char kHeartCode = 3;
inline constexpr char kSpadeCode = 6;

inline constexpr const char* kUnnamedFile = "UnNamed file";
inline constexpr const char* kNoFile = "No file";

struct CardReadResult;

// A row of the card as a grid shows it: the section, the template line whose
// chain holds the row, and the row's index in Card::rows. Row 0 is the
// placeholder, so a default reference points at no row.
struct RowRef {
    int section = -1;
    int line = 0;
    int row = 0;
    explicit operator bool() const { return row > 0; }
};

// The whole card: its shape (read once from the template) and the user's
// answers, with the run-time state every window shares. Records live in the
// lists by value and refer to each other by index; entry 0 of lines,
// cellInfos, columns, prompts, rows and auctions is a placeholder so
// that index 0 means "none".
class Card {
public:
    Card(MessageSink& messages, NotesEditor& notes);

    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    // --- shape -------------------------------------------------------------
    std::vector<Group> groups;
    std::vector<Section> sections;
    std::vector<TemplateLine> lines;
    std::vector<CellInfo> cellInfos;
    std::vector<ColumnHead> columns;
    std::vector<Prompt> prompts;
    // Captions of the top tabs, in tab order, the notes tab last.
    std::vector<std::string> tabCaptions;

    // --- answers -----------------------------------------------------------
    std::vector<RowText> rows;
    std::vector<RowText> auctions;
    int auctionHead1 = 0;
    int auctionHead2 = 0;
    int auctionHead3 = 0;

    int sectionTotal = 0;

    // --- run-time state ----------------------------------------------------
    std::string cardFileName = kUnnamedFile;
    bool isOpen = false;
    bool isNoCard = true;
    bool isModified = false;
    bool notesOpen = false;
    std::string notesFileName;

    // --- template ----------------------------------------------------------
    // Builds the shape from the template's bytes. Problems are reported as
    // messages and the offending line is skipped.
    void parseTemplate(std::string_view templateBytes);
    // Reads the template file; false (and nothing parsed) when it cannot be
    // read.
    bool parseTemplateFile(const std::string& path);

    // --- card file ---------------------------------------------------------
    void resetToBlankCard();
    void resetToNoCard();
    // Writes cardFileName (atomically) and the linked notes; false when
    // the card could not be written.
    bool writeCardFile();
    // Reads cardFileName as the card and opens the notes it links where
    // noteslink.h says they are. False, with a message and nothing of the
    // card changed, when the file is refused unread (larger than a card file
    // can be); the caller then puts its previous cardFileName back. Every
    // other failure gives a blank card, as a damaged file does.
    bool readCardFile();
    // The same for a card just extracted from a package: its notes are only
    // ever one of extractedNotes, the notes files extracted beside it.
    bool readPackagedCardFile(const std::vector<std::string>& extractedNotes);
    // Asked before a notes link that leads out of the card's folder is
    // followed; without one, such a link is not followed.
    void setNotesLinkApproval(NotesLinkApproval* approval) { notesLinkApproval_ = approval; }
    // Replaces notesFileName, the widths, rows and auctions with those of a
    // card file's bytes, as readCardFile does; false, with the card left as
    // it was, when the content is damaged. Shows no message and touches
    // neither the notes editor nor the other run-time state.
    bool readCardBytes(std::string_view bytes);

    // The card file's bytes as writeCardFile writes them.
    std::string cardFileBytes() const;

    // --- rows and fields ---------------------------------------------------
    // Row rowNumber (from 1) counted through the row chains of the lines
    // from firstLine on. A chain that ends too soon, or a line outside the
    // template, is reported and gives a reference to no row.
    RowRef findRow(int section, int firstLine, int rowNumber) const;
    // Row rowNumber of a section's grid (1 or 2).
    RowRef findGridRow(int section, int grid, int rowNumber) const;
    // Field fieldNo (from 1) of the row as the section's grid shows it;
    // empty for a reference to no row.
    std::string field(const RowRef& ref, int grid, int fieldNo) const;
    // Replaces one field of the row; a reference to no row changes nothing.
    void setField(const RowRef& ref, int grid, int fieldNo, const std::string& value);

    // --- safe lookups for callers that walk the shape ------------------------
    // The cell info of a line's grid column (0-based), or the placeholder
    // when the template gave the line fewer cells.
    const CellInfo& cellInfoOf(int lineIndex, int gridColumn) const;
    // Section index of top tab g and right tab t, or -1 (notes group, or out
    // of range).
    int sectionIndexOf(int group, int sectionTab) const;
    bool isNotesGroup(int group) const { return group == static_cast<int>(groups.size()) - 1; }

    MessageSink& messages() const { return messages_; }
    NotesEditor& notes() const { return notes_; }

    // --- the row index -----------------------------------------------------
    // Finding a row uses an index of each line's rows in chain order, so a
    // long section costs no walk along its chain. The index notices a line
    // whose first row or row count changed, or new row records; code that
    // replaces the rows wholesale says so here.
    void rowsReplaced() const;
    // The line commands, which know where they put or took a row, keep the
    // index of that line instead of having it rebuilt: inserting rows one by
    // one stays linear.
    void rowInserted(int line, int position, int row) const;
    void rowRemoved(int line, int position) const;

private:
    void appendMissingAuctionChains();
    bool readCardFileWith(const std::vector<std::string>* extractedNotes);
    void openLinkedNotes(const std::string& cardPath,
                         const std::vector<std::string>* extractedNotes);
    // Puts the answers a read produced in place of the card's.
    void takeAnswers(CardReadResult&& result);

    struct LineRows {
        int firstRow = -1;
        int rowCount = -1;
        size_t rowRecords = 0;
        std::vector<int> rows;
    };
    // The line's rows in chain order; nullptr when its chain is broken.
    const std::vector<int>* lineRows(int line) const;
    bool isCurrent(const LineRows& entry, int line) const;

    mutable std::vector<LineRows> rowIndex_;

    MessageSink& messages_;
    NotesEditor& notes_;
    NotesLinkApproval* notesLinkApproval_ = nullptr;
};

}  // namespace zqw
