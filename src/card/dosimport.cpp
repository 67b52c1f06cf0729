#include "card/dosimport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "card/texthelpers.h"

namespace zqw {

// clang-format off
// group, section, row, column, offset, length
const std::array<DosLayoutEntry, 88> kDosLayout = {{
    {1, 1, 1, 2, 53, 0},
    {1, 1, 2, 2, 0, 0},
    {1, 1, 3, 2, 84, 0},
    {1, 1, 4, 2, 15, 38},
    {2, 1, 1, 1, 205, 53},
    {2, 1, 2, 1, 258, 53},
    {2, 1, 3, 1, 313, 55},
    {2, 1, 4, 1, 368, 55},
    {2, 1, 5, 1, 423, 55},
    {2, 1, 6, 1, 478, 55},
    {2, 1, 7, 1, 536, 0},
    {2, 1, 8, 1, 579, 0},
    {2, 2, 1, 1, 716, 55},
    {2, 3, 1, 1, 1642, 55},
    {2, 4, 1, 1, 1908, 55},
    {2, 4, 4, 1, 2074, 45},
    {2, 4, 5, 1, 2119, 55},
    {3, 1, 1, 2, 2475, 0},
    {3, 1, 1, 3, 2550, 0},
    {3, 1, 2, 2, 2500, 0},
    {3, 1, 2, 3, 2575, 0},
    {3, 1, 3, 2, 2525, 0},
    {3, 1, 3, 3, 2600, 0},
    {3, 1, 4, 1, 2625, 48},
    {3, 1, 5, 1, 2673, 55},
    {3, 2, 1, 2, 2829, 0},
    {3, 2, 1, 3, 3029, 0},
    {3, 2, 2, 2, 2854, 0},
    {3, 2, 2, 3, 3054, 0},
    {3, 2, 3, 2, 2879, 0},
    {3, 2, 3, 3, 3079, 0},
    {3, 2, 4, 2, 2904, 0},
    {3, 2, 4, 3, 3104, 0},
    {3, 2, 5, 2, 2929, 0},
    {3, 2, 5, 3, 3129, 0},
    {3, 2, 6, 2, 2954, 0},
    {3, 2, 6, 3, 3154, 0},
    {3, 2, 7, 2, 2979, 0},
    {3, 2, 7, 3, 3179, 0},
    {3, 2, 8, 2, 3004, 0},
    {3, 2, 8, 3, 3204, 0},
    {3, 3, 1, 2, 3329, 16},
    {3, 3, 1, 3, 3377, 16},
    {3, 3, 1, 4, 3425, 16},
    {3, 3, 4, 2, 3473, 16},
    {3, 3, 4, 3, 3521, 16},
    {3, 3, 4, 4, 3569, 16},
    {3, 3, 7, 1, 3617, 27},
    {3, 3, 8, 1, 3644, 55},
    {3, 3, 9, 1, 3699, 55},
    {4, 1, 1, 1, 4596, 55},
    {4, 2, 1, 1, 4055, 55},
    {5, 1, 1, 1, 5117, 55},
    {5, 2, 1, 1, 5548, 55},
    {5, 3, 1, 1, 5924, 0},
    {5, 3, 2, 1, 5972, 47},
    {5, 3, 3, 1, 6019, 0},
    {5, 3, 4, 1, 6075, 47},
    {5, 4, 1, 2, 6223, 55},
    {5, 5, 1, 1, 6544, 55},
    {5, 6, 1, 1, 6975, 55},
    {5, 7, 1, 1, 7241, 55},
    {5, 8, 1, 1, 7562, 55},
    {6, 1, 1, 1, 8932, 0},
    {6, 1, 1, 2, 8938, 0},
    {6, 1, 1, 3, 8940, 0},
    {6, 1, 1, 4, 8942, 0},
    {6, 1, 1, 5, 8946, 0},
    {6, 1, 1, 6, 9066, 0},
    {6, 1, 1, 7, 9277, 0},
    {6, 1, 1, 8, 9537, 0},
    {6, 2, 99, 99, 0, 790},
    {7, 1, 1, 1, 8083, 72},
    {8, 1, 1, 1, 32642, 60},
    {8, 1, 1, 2, 32702, 70},
    {8, 1, 1, 3, 32772, 70},
    {8, 1, 1, 4, 32842, 70},
    {8, 1, 1, 5, 32912, 70},
    {8, 1, 1, 6, 32982, 70},
    {8, 1, 1, 7, 33052, 70},
    {8, 1, 1, 8, 33122, 70},
    {8, 1, 1, 9, 33192, 70},
    {8, 1, 1, 10, 33262, 70},
    {8, 1, 1, 11, 33332, 70},
    {8, 1, 1, 12, 33402, 70},
    {8, 1, 1, 13, 33472, 70},
    {8, 1, 1, 14, 33542, 70},
    {8, 2, 99, 99, 0, 981},
}};
// clang-format on

namespace {

bool isStride(const DosLayoutEntry& entry) { return entry.row == kDosStrideMark; }

bool sameSection(const DosLayoutEntry& a, const DosLayoutEntry& b) {
    return a.group == b.group && a.section == b.section;
}

// Control bytes other than the suit codes as blanks: a TAB or a line break
// would split a cell, a row or a notes line.
std::string blankControlChars(std::string_view text) {
    std::string out(text);
    cleanCellText(out);
    return out;
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::optional<DosFieldPlace> locateDosField(int group, int section, int row, int column) {
    if (row < 1 || column < 1) return std::nullopt;
    const auto& table = kDosLayout;
    const size_t count = table.size();
    size_t i = 0;
    while (i < count && !(table[i].group >= group && table[i].section >= section)) ++i;
    // The first entry at or after the position must be the position's own:
    // another section's entries, or a stride entry, would place the field
    // inside that section (or make a 790-byte field out of a stride).
    if (i == count || table[i].group != group || table[i].section != section ||
        isStride(table[i])) {
        return std::nullopt;
    }

    size_t base = i;
    DosFieldPlace place;
    const auto startsColumn = [&](size_t k) {
        return table[k].row == 1 && table[k].column == column;
    };
    while (table[i].row < row || table[i].column < column) {
        if (table[i].row > row) break;
        const bool hasNext = i + 1 < count;
        if (hasNext && sameSection(table[i + 1], table[i])) {
            if (startsColumn(i)) base = i;
            ++i;
            continue;
        }
        // The section's last entry: unlisted rows lie a stride apart when the
        // section has one, otherwise a field's length apart.
        if (hasNext && isStride(table[i + 1])) {
            if (startsColumn(i)) base = i;
            place.offset = table[base].offset + int64_t{table[i + 1].length} * (row - 1);
            place.length = table[base].length;
        } else {
            place.offset = table[i].offset + int64_t{table[i].length} * (row - 1);
            place.length = table[i].length;
        }
        break;
    }
    if (table[i].row == row && table[i].column == column) {
        place = {table[i].offset, table[i].length};
    } else if (place.offset == 0) {
        place.offset = table[base].offset + int64_t{table[base].length} * (row - 1);
        place.length = table[base].length;
    }
    return place;
}

DosCardFile::~DosCardFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool DosCardFile::open(const std::string& path) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    // Non-blocking so that a named pipe given as the file cannot hang the
    // open; only regular files are read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool DosCardFile::readAt(int64_t offset, size_t length, char* out) const {
    if (fd_ < 0 || offset < 0) return false;
    size_t done = 0;
    while (done < length) {
        const ssize_t n =
            ::pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string readDosText(const DosCardFile& file, const DosFieldPlace& place) {
    // One byte more than a field may take, so the text always ends.
    char buffer[kDosFieldLimit + 1] = {};
    const size_t wanted = place.length <= 0
                              ? kDosFieldLimit
                              : static_cast<size_t>(std::min(place.length, kDosFieldLimit));
    if (!file.readAt(place.offset, wanted, buffer)) {
        std::memset(buffer, 0, sizeof buffer);
    } else if (place.length > 0) {
        std::replace(buffer, buffer + wanted, '\0', ' ');
    }
    return std::string(buffer, ::strnlen(buffer, sizeof buffer));
}

std::string readDosField(const DosCardFile& file, int group, int section, int row, int column) {
    const auto place = locateDosField(group, section, row, column);
    if (!place) return {};
    return readDosText(file, *place);
}

std::string trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string cleanDosField(std::string_view text) {
    const std::string trimmed = trimBlanks(blankControlChars(text));
    std::string out;
    out.reserve(trimmed.size());
    for (char c : trimmed) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

std::string dosRowKey(std::string_view field, size_t labelLength) {
    std::string key;
    for (char c : field) {
        if (c != ' ') key += upperAscii(c);
    }
    if (key.size() > labelLength) key.resize(labelLength);
    return key;
}

std::vector<std::string> dosNotesLines(const DosCardFile& file, const SuitChars& chars) {
    std::vector<std::string> out;
    for (int note = 1; note <= kDosNoteCount; ++note) {
        std::vector<std::string> lines;
        for (int m = 1; m <= kDosNoteLines; ++m) {
            std::string line =
                trimBlanks(blankControlChars(readDosField(file, kDosNotesGroup, 1, note, m)));
            if (!line.empty()) lines.push_back(std::move(line));
        }
        if (lines.empty()) continue;
        lines.front().insert(0, "Note:.." + std::to_string(note) + ":");
        for (std::string& line : lines) {
            codesToDisplay(line, chars);
            out.push_back(std::move(line));
        }
        out.emplace_back();
    }
    return out;
}

namespace {

// The DOS row (1-based) whose key equals the label, or 0.
int keyedDosRow(const DosCardFile& file, int section, const std::string& label) {
    for (int row = 1; row <= kDosKeyedRows; ++row) {
        const std::string key = readDosField(file, kDosKeyedGroup, section, row, 1);
        if (dosRowKey(key, label.size()) == label) return row;
    }
    return 0;
}

void importGrid1(Card& card, const DosCardFile& file, int group, int section, int index) {
    const Section& form = card.sections[index];
    if (form.columnCount == 0) return;
    // In a multi-column grid the first column shows the line label.
    const int firstColumn = form.columnCount > 1 ? 2 : 1;
    for (int j = 1; j <= form.lineCount; ++j) {
        const RowRef ref = card.findRow(index, form.firstLine, j);
        int dosRow = j;
        if (group == kDosKeyedGroup) {
            // There the first column is the row's key; a single-column
            // section has nothing besides it to import.
            if (!ref || form.columnCount < 2) continue;
            dosRow = keyedDosRow(file, section, card.lines[ref.line].label);
            if (dosRow == 0) continue;
        }
        for (int k = firstColumn; k <= form.columnCount; ++k) {
            card.setField(ref, 1, k, cleanDosField(readDosField(file, group, section, dosRow, k)));
        }
    }
}

void importGrid2(Card& card, const DosCardFile& file, int group, int section, int index) {
    const Section& form = card.sections[index];
    if (!form.hasGrid2) return;
    // The DOS rows of grid 2 follow those of grid 1.
    for (int j = 1; j <= form.lineCount2; ++j) {
        const std::string text =
            cleanDosField(readDosField(file, group, section, form.lineCount + j, 1));
        card.setField(card.findRow(index, form.firstLine2, j), 2, 2, text);
    }
}

}  // namespace

void importDosFields(Card& card, const DosCardFile& file) {
    const int groupCount = static_cast<int>(card.groups.size());
    for (int g = 0; g < groupCount; ++g) {
        for (int t = 0; t < card.groups[g].sectionCount; ++t) {
            const int index = card.sectionIndexOf(g, t);
            if (index < 0) continue;
            importGrid1(card, file, g + 1, t + 1, index);
            importGrid2(card, file, g + 1, t + 1, index);
        }
    }
}

bool importDosCard(Card& card, NotesAppender& notes, const std::string& path,
                   const SuitChars& chars) {
    DosCardFile file;
    if (!file.open(path)) {
        card.messages().showMessage("Cannot open file " + path);
        return false;
    }
    importDosFields(card, file);
    for (const std::string& line : dosNotesLines(file, chars)) notes.appendLine(line);
    return true;
}

}  // namespace zqw
