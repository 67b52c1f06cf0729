#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/card.h"

namespace zqw {

// Cards of the old DOS edition (.ver files) have no header: every field of
// the card stands at a fixed byte offset, which a layout table gives by the
// field's group and section (1-based tab positions in the card template)
// and its row and column (1-based).

struct DosLayoutEntry {
    int group = 0;
    int section = 0;
    int row = 0;
    int column = 0;
    int offset = 0;
    int length = 0;  // 0: the field ends at its first zero byte
};

// An entry whose row and column are kDosStrideMark closes the section before
// it; its length is the distance in bytes between that section's rows.
inline constexpr int kDosStrideMark = 99;

extern const std::array<DosLayoutEntry, 88> kDosLayout;

// The most bytes one field may hold; a zero-terminated field is read this
// far when it has no zero byte.
inline constexpr int kDosFieldLimit = 299;
// The sixth group's rows are found by their first field, a key matched
// against the template's line labels, among this many rows.
inline constexpr int kDosKeyedGroup = 6;
inline constexpr int kDosKeyedRows = 30;
// The notes area, after the card's fields, is read as group 8, section 1:
// one row per note, one column per note line.
inline constexpr int kDosNotesGroup = 8;
inline constexpr int kDosNoteCount = 60;
inline constexpr int kDosNoteLines = 14;

struct DosFieldPlace {
    int64_t offset = 0;
    int length = 0;  // 0: zero-terminated
    bool operator==(const DosFieldPlace&) const = default;
};

// Where the table puts a field. Rows the table does not list follow the
// listed row-1 field of the same column at intervals of its length (or of
// the section's stride). nullopt when the table has no entries of its own
// for the group and section: such positions read as empty text.
std::optional<DosFieldPlace> locateDosField(int group, int section, int row, int column);

// A DOS card file open for reading; closed when destroyed.
class DosCardFile {
public:
    DosCardFile() = default;
    ~DosCardFile();
    DosCardFile(const DosCardFile&) = delete;
    DosCardFile& operator=(const DosCardFile&) = delete;

    // False when path is not a regular file that can be opened for reading.
    bool open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    // Reads exactly length bytes at offset into out; false (out's content
    // then undefined) when the file ends before them or cannot be read.
    bool readAt(int64_t offset, size_t length, char* out) const;

private:
    int fd_ = -1;
};

// The text of a field at a place: a fixed-length field with its zero bytes
// turned into blanks, a zero-terminated field up to its zero byte. Never more
// than kDosFieldLimit bytes, whatever the place says. A field that does not
// lie wholly inside the file reads as empty text.
std::string readDosText(const DosCardFile& file, const DosFieldPlace& place);

// One field of the card by its position in the layout table.
std::string readDosField(const DosCardFile& file, int group, int section, int row, int column);

// The text without leading and trailing blanks (code 32 only).
std::string trimBlanks(std::string_view text);

// A field as it goes into a cell: control characters other than the suit
// codes become blanks, the ends are trimmed, and each run of blanks inside
// becomes one blank. Suit codes stay codes.
std::string cleanDosField(std::string_view text);

// A sixth-group row key as it is compared with a line label: without blanks,
// letters in capitals, cut to the label's length.
std::string dosRowKey(std::string_view field, size_t labelLength);

// What the import needs of the notes text: each imported line goes after the
// last line of the notes, in order.
class NotesAppender {
public:
    virtual ~NotesAppender() = default;
    virtual void appendLine(const std::string& line) = 0;
};

// The notes lines the file's notes area gives, in note number order: for
// each note with text, its heading "Note:..N:" with the note's first line on
// it, its further lines, and an empty line. Blank note lines are left out and
// a note whose lines are all blank gives nothing. Suit codes become the
// display characters, since the notes hold display text.
std::vector<std::string> dosNotesLines(const DosCardFile& file, const SuitChars& chars);

// Fills the card's cells from the file: every grid-1 cell (the label column
// of a multi-column grid excepted) and every grid-2 row, by the layout table.
// The sixth group's lines take the DOS row whose key matches their label;
// a line no key matches keeps its cells.
void importDosFields(Card& card, const DosCardFile& file);

// The import's file work: opens path, fills the card (which the caller has
// just made new) and appends the notes, their suits as chars shows them.
// When the file cannot be opened it reports "Cannot open file " + path
// through the card's messages, changes nothing and returns false. The caller
// marks the card changed and shows it.
bool importDosCard(Card& card, NotesAppender& notes, const std::string& path,
                   const SuitChars& chars);

}  // namespace zqw
