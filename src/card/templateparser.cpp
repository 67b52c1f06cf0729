#include "card/templateparser.h"

#include <array>
#include <fstream>
#include <sstream>

#include "card/decimal.h"
#include "card/filelimits.h"
#include "card/textfile.h"

namespace zqw {

namespace {

constexpr size_t kNameLength = 80;

std::string field(std::string_view line, size_t position, size_t length) {
    // Positions count from 1, the record letter being position 1.
    if (position > line.size()) return {};
    return std::string(line.substr(position - 1, length));
}

std::string fromPosition(std::string_view line, size_t position) {
    if (position > line.size()) return {};
    return std::string(line.substr(position - 1));
}

std::optional<int> digitAt(std::string_view line, size_t position) {
    if (position > line.size()) return std::nullopt;
    const char c = line[position - 1];
    if (c < '0' || c > '9') return std::nullopt;
    return c - '0';
}

struct ColumnStateEntry {
    int promptCount = 0;
    int firstPrompt = 0;
    bool sealed = true;
    int helpContext = 0;
};

class Parser {
public:
    explicit Parser(Card& card) : card_(card) {}

    void parse(std::string_view bytes) {
        card_.groups.clear();
        card_.sections.clear();
        card_.lines.clear();
        card_.cellInfos.clear();
        card_.columns.clear();
        card_.prompts.clear();
        card_.rows.clear();
        card_.rowsReplaced();
        card_.auctions.clear();
        card_.tabCaptions.clear();
        card_.sectionTotal = 0;
        columnCount_ = 0;

        forEachTextLine(bytes, [this](std::string_view line) { record(line); });

        Group notes;
        notes.name = "Notes file";
        card_.groups.push_back(notes);
        card_.tabCaptions.push_back(notes.name.substr(0, 5));
    }

private:
    void invalid(std::string_view line) {
        card_.messages().showMessage("Invalid line in zqw.sel file: " + std::string(line));
    }

    bool haveSection() const { return !card_.sections.empty(); }
    Section& section() { return card_.sections.back(); }

    void record(std::string_view line) {
        if (tooManyLines_) return;
        if (line.empty()) {
            invalid(line);
            return;
        }
        const char kind = line[0];
        // Nothing has a meaning before the first group, and a second F would
        // restart the section count under the groups already made.
        if (card_.groups.empty() != (kind == 'F')) {
            invalid(line);
            return;
        }
        switch (kind) {
            case 'F':
                firstGroup(line);
                return;
            case 'G':
                group(line);
                return;
            case 'P':
                sectionRecord(line);
                return;
            default:
                break;
        }
        if (!haveSection()) {
            invalid(line);
            return;
        }
        switch (kind) {
            case 'C':
                columns(line);
                break;
            case 'H':
                headings(line);
                break;
            case 'A':
                grid2(line);
                break;
            case 'L':
                unlabelledLines(line);
                break;
            case 'O':
            case 'S':
                addLabelledLine(line);
                break;
            case 'V':
            case 'U':
            case 'N':
                prompt(line, kind);
                break;
            case 'X':
            case 'Y':
            case 'Z':
                helpContext(line, kind);
                break;
            default:
                invalid(line);
                break;
        }
    }

    void firstGroup(std::string_view line) {
        card_.sectionTotal = 0;
        Group group;
        group.name = field(line, 2, kNameLength);
        card_.groups.push_back(group);
        card_.lines.emplace_back();
        card_.cellInfos.emplace_back();
        card_.columns.emplace_back();
        card_.prompts.emplace_back();
        card_.tabCaptions.insert(card_.tabCaptions.begin(), "1:" + group.name.substr(0, 10));
    }

    void group(std::string_view line) {
        Group group;
        group.name = field(line, 2, kNameLength);
        group.firstSection = card_.sectionTotal;
        card_.groups.push_back(group);
        const size_t count = card_.groups.size();
        const size_t position = std::min(count - 1, card_.tabCaptions.size());
        card_.tabCaptions.insert(card_.tabCaptions.begin() + static_cast<long>(position),
                                 std::to_string(count) + ":" + group.name.substr(0, 10));
    }

    void sectionRecord(std::string_view line) {
        card_.sectionTotal += 1;
        Section form;
        form.groupIndex = static_cast<int>(card_.groups.size()) - 1;
        form.name = field(line, 2, kNameLength);
        card_.sections.push_back(form);
        card_.groups.back().sectionCount += 1;
    }

    void columns(std::string_view line) {
        const auto n = digitAt(line, 2);
        if (!n) {
            invalid(line);
            return;
        }
        std::vector<int> widths;
        for (int i = 1; i <= *n; ++i) {
            const auto width = parseDecimal(field(line, 2 * i + 1, 2), false);
            if (!width) {
                invalid(line);
                return;
            }
            widths.push_back(*width);
        }
        Section& form = section();
        form.columnCount = *n;
        columnCount_ = *n;
        form.firstColumn = static_cast<int>(card_.columns.size());
        form.hasHeadings = false;
        for (int i = 1; i <= *n; ++i) {
            ColumnHead head;
            head.width = widths[i - 1];
            head.defaultWidth = widths[i - 1];
            card_.columns.push_back(head);
            columnState_[i] = ColumnStateEntry{};
        }
    }

    void headings(std::string_view line) {
        Section& form = section();
        form.hasHeadings = true;
        if (form.firstColumn == 0) {
            card_.messages().showMessage("Headings without columns");
            return;
        }
        std::string rest = fromPosition(line, 2);
        for (int c = 0; c < form.columnCount; ++c) {
            ColumnHead& head = card_.columns[form.firstColumn + c];
            const size_t bar = rest.find('|');
            if (bar == std::string::npos) {
                head.heading = rest.substr(0, kNameLength);
                continue;
            }
            if (bar > 0) head.heading = rest.substr(0, bar);
            rest.erase(0, bar + 1);
        }
    }

    void grid2(std::string_view line) {
        const auto labelWidth = parseDecimal(field(line, 2, 2), false);
        const auto textWidth = parseDecimal(field(line, 4, 2), false);
        if (!labelWidth || !textWidth) {
            invalid(line);
            return;
        }
        Section& form = section();
        form.hasGrid2 = true;
        columnCount_ = 2;
        form.labelWidth2 = form.defaultLabelWidth2 = *labelWidth;
        form.textWidth2 = form.defaultTextWidth2 = *textWidth;
        columnState_[1] = ColumnStateEntry{};
        columnState_[2] = ColumnStateEntry{};
    }

    void unlabelledLines(std::string_view line) {
        const auto n = parseDecimal(field(line, 2, 2), false);
        if (!n) {
            invalid(line);
            return;
        }
        if (*n == 0) {
            card_.messages().showMessage("Line count zero" + std::string(line));
            return;
        }
        addLines(*n, {});
    }

    void addLabelledLine(std::string_view line) { addLines(1, field(line, 2, kNameLength)); }

    void addLines(int n, const std::string& label) {
        // A line costs a record and a cell per column in memory but only a
        // few bytes in the file (an L record makes 99): past the limit the
        // template is damaged, and the rest of it is not read.
        if (card_.lines.size() - 1 + static_cast<size_t>(n) > kMostTemplateLines) {
            card_.messages().showMessage("zqw.sel has Invalid file content: more than " +
                                         std::to_string(kMostTemplateLines) + " template lines");
            tooManyLines_ = true;
            return;
        }
        Section& form = section();
        const int first = static_cast<int>(card_.lines.size());
        if (form.hasGrid2) {
            form.lineCount2 += n;
            if (form.firstLine2 == 0) form.firstLine2 = first;
        } else {
            form.lineCount += n;
            if (form.firstLine == 0) form.firstLine = first;
        }
        for (int k = 0; k < n; ++k) {
            TemplateLine newLine;
            newLine.label = label;
            newLine.cellInfoIndex = static_cast<int>(card_.cellInfos.size()) + 1;
            card_.lines.push_back(newLine);
            for (int i = 1; i <= columnCount_; ++i) {
                ColumnStateEntry& state = columnState_[i];
                card_.cellInfos.push_back(
                    {state.promptCount, state.firstPrompt, state.helpContext});
                state.sealed = true;
            }
        }
    }

    int readPromptColumn(std::string_view line, int c) {
        if (c > columnCount_) {
            card_.messages().showMessage("Prompt value for invalid column: " + std::string(line));
            return 0;
        }
        return c;
    }

    // The columns a prompt or help record acts on.
    std::pair<int, int> affectedColumns(char kind, int c) const {
        switch (kind) {
            case 'U':
            case 'X':
                return {1, c};
            case 'N':
            case 'Z':
                return {c, card_.sections.back().columnCount};
            default:
                return {c, c};
        }
    }

    void prompt(std::string_view line, char kind) {
        const auto digit = digitAt(line, 2);
        if (!digit) {
            invalid(line);
            return;
        }
        const int c = readPromptColumn(line, *digit);
        Prompt newPrompt;
        newPrompt.text = field(line, 3, kNameLength);
        card_.prompts.push_back(newPrompt);
        const auto [from, to] = affectedColumns(kind, c);
        const bool restart = columnState_[c].sealed;
        for (int i = from; i <= to; ++i) {
            ColumnStateEntry& state = columnState_[i];
            if (restart) {
                state.promptCount = 0;
                state.sealed = false;
                state.firstPrompt = static_cast<int>(card_.prompts.size());
            }
            state.promptCount += 1;
        }
    }

    void helpContext(std::string_view line, char kind) {
        const auto digit = digitAt(line, 2);
        const auto number = parseDecimal(field(line, 3, kNameLength), true);
        if (!digit || !number) {
            invalid(line);
            return;
        }
        const int c = readPromptColumn(line, *digit);
        const auto [from, to] = affectedColumns(kind, c);
        for (int i = from; i <= to; ++i) columnState_[i].helpContext = *number;
    }

    Card& card_;
    int columnCount_ = 0;
    bool tooManyLines_ = false;
    // Indexed by template column 0..10; only 1..9 reach a line.
    std::array<ColumnStateEntry, 11> columnState_{};
};

}  // namespace

void buildCardShape(Card& card, std::string_view bytes) { Parser(card).parse(bytes); }

}  // namespace zqw
