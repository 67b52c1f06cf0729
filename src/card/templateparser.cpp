#include "templateparser.h"

#include <array>
#include <fstream>
#include <sstream>

#include "decimal.h"
#include "textfile.h"

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
    int PromptCount = 0;
    int FirstPrompt = 0;
    bool Sealed = true;
    int HelpContext = 0;
};

class Parser {
public:
    explicit Parser(Card& card) : card_(card) {}

    void parse(std::string_view bytes) {
        card_.Groups.clear();
        card_.Sections.clear();
        card_.Lines.clear();
        card_.CellInfos.clear();
        card_.Columns.clear();
        card_.Prompts.clear();
        card_.RowTexts.clear();
        card_.AuctionTexts.clear();
        card_.TabCaptions.clear();
        card_.SectionTotal = 0;
        card_.CurColumnCount = 0;

        forEachTextLine(bytes, [this](std::string_view line) { record(line); });

        AGroupHead notes;
        notes.Name = "Notes file";
        card_.Groups.push_back(notes);
        card_.TabCaptions.push_back(notes.Name.substr(0, 5));
    }

private:
    void invalid(std::string_view line) {
        card_.Messages().showMessage("Invalid line in zqw.sel file: " + std::string(line));
    }

    bool haveSection() const { return !card_.Sections.empty(); }
    AForm& section() { return card_.Sections.back(); }

    void record(std::string_view line) {
        if (line.empty()) {
            invalid(line);
            return;
        }
        const char kind = line[0];
        // Nothing has a meaning before the first group, and a second F would
        // restart the section count under the groups already made.
        if (card_.Groups.empty() != (kind == 'F')) {
            invalid(line);
            return;
        }
        switch (kind) {
            case 'F': firstGroup(line); return;
            case 'G': group(line); return;
            case 'P': sectionRecord(line); return;
            default: break;
        }
        if (!haveSection()) {
            invalid(line);
            return;
        }
        switch (kind) {
            case 'C': columns(line); break;
            case 'H': headings(line); break;
            case 'A': grid2(line); break;
            case 'L': unlabelledLines(line); break;
            case 'O':
            case 'S': AddLabelledLine(line); break;
            case 'V':
            case 'U':
            case 'N': prompt(line, kind); break;
            case 'X':
            case 'Y':
            case 'Z': helpContext(line, kind); break;
            default: invalid(line); break;
        }
    }

    void firstGroup(std::string_view line) {
        card_.SectionTotal = 0;
        AGroupHead group;
        group.Name = field(line, 2, kNameLength);
        card_.Groups.push_back(group);
        card_.Lines.emplace_back();
        card_.CellInfos.emplace_back();
        card_.Columns.emplace_back();
        card_.Prompts.emplace_back();
        card_.TabCaptions.insert(card_.TabCaptions.begin(), "1:" + group.Name.substr(0, 10));
    }

    void group(std::string_view line) {
        AGroupHead group;
        group.Name = field(line, 2, kNameLength);
        group.FirstSection = card_.SectionTotal;
        card_.Groups.push_back(group);
        const size_t count = card_.Groups.size();
        const size_t position = std::min(count - 1, card_.TabCaptions.size());
        card_.TabCaptions.insert(card_.TabCaptions.begin() + static_cast<long>(position),
                                 std::to_string(count) + ":" + group.Name.substr(0, 10));
    }

    void sectionRecord(std::string_view line) {
        card_.SectionTotal += 1;
        AForm form;
        form.GroupIndex = static_cast<int>(card_.Groups.size()) - 1;
        form.Name = field(line, 2, kNameLength);
        card_.Sections.push_back(form);
        card_.Groups.back().SectionCount += 1;
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
        AForm& form = section();
        form.ColumnCount = *n;
        card_.CurColumnCount = *n;
        form.FirstColumn = static_cast<int>(card_.Columns.size());
        form.HasHeadings = false;
        for (int i = 1; i <= *n; ++i) {
            AHead head;
            head.Width = widths[i - 1];
            head.DefaultWidth = widths[i - 1];
            card_.Columns.push_back(head);
            columnState_[i] = ColumnStateEntry{};
        }
    }

    void headings(std::string_view line) {
        AForm& form = section();
        form.HasHeadings = true;
        if (form.FirstColumn == 0) {
            card_.Messages().showMessage("Headings without columns");
            return;
        }
        std::string rest = fromPosition(line, 2);
        for (int c = 0; c < form.ColumnCount; ++c) {
            AHead& head = card_.Columns[form.FirstColumn + c];
            const size_t bar = rest.find('|');
            if (bar == std::string::npos) {
                head.Heading = rest.substr(0, kNameLength);
                continue;
            }
            if (bar > 0) head.Heading = rest.substr(0, bar);
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
        AForm& form = section();
        form.HasGrid2 = true;
        card_.CurColumnCount = 2;
        form.LabelWidth2 = form.DefaultLabelWidth2 = *labelWidth;
        form.TextWidth2 = form.DefaultTextWidth2 = *textWidth;
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
            card_.Messages().showMessage("Line count zero" + std::string(line));
            return;
        }
        addLines(*n, {});
    }

    void AddLabelledLine(std::string_view line) { addLines(1, field(line, 2, kNameLength)); }

    void addLines(int n, const std::string& label) {
        AForm& form = section();
        const int first = static_cast<int>(card_.Lines.size());
        if (form.HasGrid2) {
            form.LineCount2 += n;
            if (form.FirstLine2 == 0) form.FirstLine2 = first;
        } else {
            form.LineCount += n;
            if (form.FirstLine == 0) form.FirstLine = first;
        }
        for (int k = 0; k < n; ++k) {
            Aline newLine;
            newLine.Label = label;
            newLine.CellInfoIndex = static_cast<int>(card_.CellInfos.size()) + 1;
            card_.Lines.push_back(newLine);
            for (int i = 1; i <= card_.CurColumnCount; ++i) {
                ColumnStateEntry& state = columnState_[i];
                card_.CellInfos.push_back({state.PromptCount, state.FirstPrompt, state.HelpContext});
                state.Sealed = true;
            }
        }
    }

    int ReadPromptColumn(std::string_view line, int c) {
        if (c > card_.CurColumnCount) {
            card_.Messages().showMessage("Prompt value for invalid column: " + std::string(line));
            return 0;
        }
        return c;
    }

    // The columns a prompt or help record acts on.
    std::pair<int, int> affectedColumns(char kind, int c) const {
        switch (kind) {
            case 'U':
            case 'X': return {1, c};
            case 'N':
            case 'Z': return {c, card_.Sections.back().ColumnCount};
            default: return {c, c};
        }
    }

    void prompt(std::string_view line, char kind) {
        const auto digit = digitAt(line, 2);
        if (!digit) {
            invalid(line);
            return;
        }
        const int c = ReadPromptColumn(line, *digit);
        APrompt newPrompt;
        newPrompt.Text = field(line, 3, kNameLength);
        card_.Prompts.push_back(newPrompt);
        const auto [from, to] = affectedColumns(kind, c);
        const bool restart = columnState_[c].Sealed;
        for (int i = from; i <= to; ++i) {
            ColumnStateEntry& state = columnState_[i];
            if (restart) {
                state.PromptCount = 0;
                state.Sealed = false;
                state.FirstPrompt = static_cast<int>(card_.Prompts.size());
            }
            state.PromptCount += 1;
        }
    }

    void helpContext(std::string_view line, char kind) {
        const auto digit = digitAt(line, 2);
        const auto number = parseDecimal(field(line, 3, kNameLength), true);
        if (!digit || !number) {
            invalid(line);
            return;
        }
        const int c = ReadPromptColumn(line, *digit);
        const auto [from, to] = affectedColumns(kind, c);
        for (int i = from; i <= to; ++i) columnState_[i].HelpContext = *number;
    }

    Card& card_;
    // Indexed by template column 0..10; only 1..9 reach a line.
    std::array<ColumnStateEntry, 11> columnState_{};
};

}  // namespace

void parseTemplate(Card& card, std::string_view bytes) { Parser(card).parse(bytes); }

}  // namespace zqw
