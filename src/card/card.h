#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "messagesink.h"
#include "noteseditor.h"

namespace zqw {

// Texts are Windows-1252 byte strings; suit symbols are stored as the bytes
// 5 (club), 4 (diamond), 3 (heart) and 6 (spade).

struct AGroupHead {
    std::string Name;
    int FirstSection = 0;
    int SectionCount = 0;
};

struct AForm {
    int GroupIndex = 0;
    std::string Name;
    int ColumnCount = 0;
    int FirstColumn = 0;
    bool HasHeadings = false;
    int LineCount = 0;
    int RowCount = 0;
    int FirstLine = 0;
    bool HasGrid2 = false;
    int LineCount2 = 0;
    int RowCount2 = 0;
    int FirstLine2 = 0;
    int LabelWidth2 = 0;
    int TextWidth2 = 0;
    int DefaultLabelWidth2 = 0;
    int DefaultTextWidth2 = 0;
};

struct Aline {
    int FirstRow = 0;
    int RowCount = 0;
    std::string Label;
    int CellInfoIndex = 0;
};

struct AHead {
    int Width = 0;
    int DefaultWidth = 0;
    std::string Heading;
};

struct APrompt {
    std::string Text;
};

struct AText {
    std::string Text;
    int PrevRow = 0;
    int NextRow = 0;
    int NoteNo = 0;
};

struct ACellInfo {
    int PromptCount = 0;
    int FirstPrompt = 0;
    int HelpContext = 0;
};

inline constexpr char kClubCode = 5;
inline constexpr char kDiamondCode = 4;
inline constexpr char kHeartCode = 3;
inline constexpr char kSpadeCode = 6;

inline constexpr const char* kUnnamedFile = "UnNamed file";
inline constexpr const char* kNoFile = "No file";

// The whole card: its shape (read once from the template) and the user's
// answers, with the run-time state every window shares. Records live in the
// lists by value and refer to each other by index; entry 0 of Lines,
// CellInfos, Columns, Prompts, RowTexts and AuctionTexts is a placeholder so
// that index 0 means "none".
class Card {
public:
    Card(MessageSink& messages, NotesEditor& notes);

    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    // --- shape -------------------------------------------------------------
    std::vector<AGroupHead> Groups;
    std::vector<AForm> Sections;
    std::vector<Aline> Lines;
    std::vector<ACellInfo> CellInfos;
    std::vector<AHead> Columns;
    std::vector<APrompt> Prompts;
    // Captions of the top tabs, in tab order, the notes tab last.
    std::vector<std::string> TabCaptions;

    // --- answers -----------------------------------------------------------
    std::vector<AText> RowTexts;
    std::vector<AText> AuctionTexts;
    int AuctionHead1 = 0;
    int AuctionHead2 = 0;
    int AuctionHead3 = 0;

    int SectionTotal = 0;
    int CurColumnCount = 0;

    // Current-record cursors: indexes into their lists, set as documented
    // side effects of the operations below.
    int CurGroup = 0;
    int CurSection = 0;
    int CurLine = 0;
    int CurRow = 0;
    int CurAuction = 0;
    int CurColumn = 0;
    int CurPrompt = 0;
    int CurCellInfo = 0;

    // --- run-time state ----------------------------------------------------
    std::string CardFileName = kUnnamedFile;
    bool CardOpen = false;
    bool NoCard = true;
    bool CardChanged = false;
    bool NotesOpen = false;
    std::string NoteFileName;
    std::string ProgramDir;
    std::string PackageFileName;
    std::string PromptFileName;
    int ClubChar = '}';
    int DiamondChar = '{';
    int HeartChar = ']';
    int SpadeChar = '[';

    // --- template ----------------------------------------------------------
    // Builds the shape from the template's bytes. Problems are reported as
    // messages and the offending line is skipped.
    void ParseTemplate(std::string_view templateBytes);
    // Reads the template file; false (and nothing parsed) when it cannot be
    // read.
    bool ParseTemplateFile(const std::string& path);

    // --- card file ---------------------------------------------------------
    void ResetBlankCard();
    void ResetNoCard();
    // Writes CardFileName (atomically) and the linked notes; false when
    // the card could not be written.
    bool WriteCardFile();
    void ReadCardFile();

    // The card file's bytes as WriteCardFile writes them.
    std::string CardFileBytes() const;

    // --- rows and fields ---------------------------------------------------
    int FindRow(int rowNumber, int& lineIndex);
    std::string GetField(int grid, int fieldNo) const;
    void PutField(int grid, int fieldNo, const std::string& value);
    void CodesToSymbols(std::string& text) const;
    void SymbolsToCodes(std::string& text) const;

    // --- safe lookups for callers that walk the shape ------------------------
    // The cell info of a line's grid column (0-based), or the placeholder
    // when the template gave the line fewer cells.
    const ACellInfo& CellInfoOf(int lineIndex, int gridColumn) const;
    // Section index of top tab g and right tab t, or -1 (notes group, or out
    // of range).
    int SectionIndexOf(int group, int sectionTab) const;
    bool IsNotesGroup(int group) const { return group == static_cast<int>(Groups.size()) - 1; }

    MessageSink& Messages() const { return messages_; }
    NotesEditor& Notes() const { return notes_; }

private:
    void AppendMissingAuctionChains();

    MessageSink& messages_;
    NotesEditor& notes_;
};

}  // namespace zqw
