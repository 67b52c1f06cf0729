#include "card/notesprintplan.h"

#include <algorithm>
#include <limits>

namespace zqw {

namespace {

constexpr std::string_view kHeading = "Note:..";
constexpr std::string_view kBrownHeading = "Note:..999";

bool startsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The file name without its folders; card files written on Windows name
// their notes with backslashes.
std::string bareName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The line with tabs expanded, and for every character of the line where
// it starts in the expanded text (one more entry for the end of the line).
struct ExpandedLine {
    std::string text;
    std::vector<size_t> starts;
};

ExpandedLine expand(const std::string& line, int tabSize) {
    ExpandedLine out;
    const size_t tab = static_cast<size_t>(std::max(tabSize, 1));
    out.starts.reserve(line.size() + 1);
    for (const char c : line) {
        out.starts.push_back(out.text.size());
        if (c == '\t') {
            out.text.append(tab - out.text.size() % tab, ' ');
        } else {
            out.text += c;
        }
    }
    out.starts.push_back(out.text.size());
    return out;
}

size_t expandedColumn(const ExpandedLine& line, int column) {
    if (column <= 0) return 0;
    const size_t raw = std::min(static_cast<size_t>(column), line.starts.size() - 1);
    return line.starts[raw];
}

class NotesLayout {
public:
    NotesLayout(const NotesPrintOptions& options, std::string brownCaption)
        : options_(options), brownCaption_(std::move(brownCaption)) {
        available_ = options.pageWidth - options.labelLeft;
        if (options.textWidth) {
            // Measuring words one by one can differ from the whole line by
            // kerning across spaces: keep one wide letter of room.
            available_ -= std::min(options.textWidth("W"), available_ / 4);
        }
        available_ = std::max(available_, 1);
    }

    void addLine(int number, std::string text) {
        const bool heading = startsWith(text, kHeading);
        bool newPage = false;
        bool brown = false;
        if (heading) {
            if (options_.newPageForEachNote) {
                newPage = true;
            } else if (options_.newPageForBrownSticker && startsWith(text, kBrownHeading)) {
                newPage = true;
                brown = true;
            }
        }
        if (pages_.empty()) startPage(true);
        if (newPage && number > 2 && bandsInSet_ > 0) {
            startPage(true);
            if (brown) pages_.back().groupHeader = brownCaption_;
        } else if (brown && bandsInSet_ == 0) {
            // The set's header strip has not printed yet: it still shows the
            // brown sticker heading.
            pages_.back().groupHeader = brownCaption_;
        }
        if (options_.suits == SuitSymbolStyle::Letters) {
            text = withSuitLetters(text, options_.suitChars);
        }
        const std::vector<std::string> pieces = wrap(text);
        for (size_t i = 0; i < pieces.size(); ++i) {
            const int footerTop = options_.pageHeight - options_.footerHeight;
            if (y_ + options_.lineHeight > footerTop && !pages_.back().bands.empty()) {
                startPage(false);
            }
            NotesBand& band = pages_.back().bands.emplace_back();
            band.top = y_;
            band.height = options_.lineHeight;
            band.sourceLine = number;
            band.ruleAbove = heading && i == 0;
            fill(band, pieces[i]);
            y_ += options_.lineHeight;
            ++bandsInSet_;
        }
    }

    std::vector<NotesPage> finish() {
        if (pages_.empty()) startPage(true);
        // Number the pages within each set.
        size_t setStart = 0;
        for (size_t i = 0; i <= pages_.size(); ++i) {
            if (i < pages_.size() && pages_[i].pageSet == pages_[setStart].pageSet) continue;
            const int count = static_cast<int>(i - setStart);
            for (size_t k = setStart; k < i; ++k) {
                pages_[k].numberInSet = static_cast<int>(k - setStart) + 1;
                pages_[k].pagesInSet = count;
            }
            setStart = i;
        }
        return std::move(pages_);
    }

private:
    void startPage(bool newSet) {
        NotesPage page;
        page.pageSet = pages_.empty() ? 0 : pages_.back().pageSet + (newSet ? 1 : 0);
        page.showsTitle = pages_.empty();
        y_ = page.showsTitle ? options_.titleHeight : 0;
        if (newSet) {
            page.hasGroupHeader = true;
            y_ += options_.groupHeaderHeight;
            bandsInSet_ = 0;
        }
        pages_.push_back(std::move(page));
    }

    bool isSuit(char c) const {
        return options_.suits == SuitSymbolStyle::Pictures &&
               suitOfDisplayChar(static_cast<unsigned char>(c), options_.suitChars);
    }

    int widthOf(const std::string& text) const {
        return options_.textWidth ? options_.textWidth(text) : 0;
    }

    // Cuts a line into pieces that each fit the page: at spaces where it
    // can (the spaces at a cut are not printed), inside a word that alone
    // is wider than the page.
    std::vector<std::string> wrap(const std::string& text) const {
        std::vector<std::string> pieces;
        std::string piece;
        int used = 0;
        const auto flush = [&] {
            pieces.push_back(std::move(piece));
            piece.clear();
            used = 0;
        };
        size_t i = 0;
        while (i < text.size()) {
            // The next token: a run of spaces, one suit picture, or a word.
            size_t end = i + 1;
            const bool spaces = text[i] == ' ';
            const bool suit = isSuit(text[i]);
            if (spaces) {
                while (end < text.size() && text[end] == ' ') ++end;
            } else if (!suit) {
                while (end < text.size() && text[end] != ' ' && !isSuit(text[end])) ++end;
            }
            const std::string token = text.substr(i, end - i);
            i = end;
            const int width = suit ? 1 + options_.pictureAdvance : widthOf(token);
            if (used + width <= available_) {
                piece += token;
                used += width;
                continue;
            }
            if (spaces) {
                if (!piece.empty()) flush();
                continue;
            }
            if (!piece.empty()) flush();
            if (width <= available_ || suit) {
                piece = token;
                used = width;
                continue;
            }
            for (const char c : token) {
                const int charWidth = widthOf(std::string(1, c));
                if (used + charWidth > available_ && !piece.empty()) flush();
                piece += c;
                used += charWidth;
            }
        }
        if (!piece.empty() || pieces.empty()) flush();
        return pieces;
    }

    void addLabel(NotesBand& band, PrintLabel label) const {
        if (!label.text.empty()) band.labels.push_back(std::move(label));
    }

    void fill(NotesBand& band, const std::string& piece) const {
        const int left = options_.labelLeft;
        if (options_.suits != SuitSymbolStyle::Pictures) {
            addLabel(band, {left, options_.pageWidth - left, piece, false});
            return;
        }
        int pos = left;
        PrintLabel label{left, options_.pageWidth - left, {}, false};
        for (const char c : piece) {
            const auto suit = suitOfDisplayChar(static_cast<unsigned char>(c), options_.suitChars);
            if (!suit) {
                label.text += c;
                continue;
            }
            const int used = label.text.empty() ? 0 : widthOf(label.text);
            label.width = used;
            pos += used + 1;
            band.pictures.push_back({pos, *suit});
            pos += options_.pictureAdvance;
            addLabel(band, std::move(label));
            label = PrintLabel{pos, options_.pageWidth - pos, {}, false};
        }
        addLabel(band, std::move(label));
    }

    const NotesPrintOptions& options_;
    std::string brownCaption_;
    int available_ = 1;
    std::vector<NotesPage> pages_;
    int y_ = 0;
    int bandsInSet_ = 0;
};

}  // namespace

std::string expandTabs(const std::string& line, int tabSize) { return expand(line, tabSize).text; }

NotesTitleTexts notesTitleTexts(const Card& card, const SuitChars& chars) {
    NotesTitleTexts texts;
    if (card.groups.empty() || card.sections.empty()) return texts;
    const int first = card.groups.front().firstSection;
    if (first < 0 || first >= static_cast<int>(card.sections.size())) return texts;
    const Section& section = card.sections[static_cast<size_t>(first)];
    // Row 1 counted from the given template line: that line's first row, or
    // the first row of the next line that shows one.
    const auto textFrom = [&](int lineIndex) {
        for (int l = lineIndex; l > 0 && l < static_cast<int>(card.lines.size()); ++l) {
            const TemplateLine& line = card.lines[static_cast<size_t>(l)];
            if (line.rowCount <= 0) continue;
            if (line.firstRow <= 0 || line.firstRow >= static_cast<int>(card.rows.size())) break;
            std::string text = fieldOf(card.rows[static_cast<size_t>(line.firstRow)].text,
                                       section.columnCount, 1, 2);
            codesToDisplay(text, chars);
            return text;
        }
        return std::string();
    };
    texts.first = textFrom(4);
    texts.second = textFrom(2);
    return texts;
}

NotesPrintPlan NotesPrintPlan::build(const std::vector<std::string>& lines,
                                     const NotesPrintOptions& options) {
    NotesPrintPlan plan;
    const std::string texts = options.titleText1 + " (" + options.titleText2 + ")";
    plan.title_ = "Supplementary notes file (" + bareName(options.notesFileName) + ") " + texts;
    NotesLayout layout(options, "Brown sticker conventions: " + texts);

    const int count = static_cast<int>(lines.size());
    int first = 1;
    int last = count;
    NotesSelection selection = options.selection;
    if (options.selectionOnly) {
        // A selection that ends at the start of a line takes none of it.
        if (selection.endColumn <= 0 && selection.endLine > selection.startLine) {
            selection.endLine -= 1;
            selection.endColumn = std::numeric_limits<int>::max();
        }
        first = std::max(selection.startLine, 1);
        last = std::min(selection.endLine, count);
    }
    for (int n = first; n <= last; ++n) {
        const std::string& raw = lines[static_cast<size_t>(n - 1)];
        ExpandedLine line = expand(raw, options.tabSize);
        if (options.selectionOnly) {
            if (n == selection.endLine) {
                line.text.resize(expandedColumn(line, selection.endColumn));
            }
            if (n == selection.startLine) {
                const size_t blank =
                    std::min(expandedColumn(line, selection.startColumn), line.text.size());
                std::fill_n(line.text.begin(), blank, ' ');
            }
        }
        layout.addLine(n, std::move(line.text));
    }
    plan.pages_ = layout.finish();
    return plan;
}

}  // namespace zqw
