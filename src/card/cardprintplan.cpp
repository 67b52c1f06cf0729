#include "card/cardprintplan.h"

#include <algorithm>

namespace zqw {

namespace {

// Rows 1 to 4 are the title area; the first section's heading falls on row
// 4 and is never printed.
constexpr int kTitleRows = 4;
// A row's captions may reach this far past its text width: the last
// column's label ends one pixel beyond the section's print width.
constexpr int kRowOverhang = 5;

// Lays out the captions of one print row. x positions are from the left
// edge of the row's cell; nothing is placed at or beyond `limit`, just past
// the right edge of the section's print width (where a row of full columns
// ends), so a row whose column widths add up to more than the whole never
// spills into the next layout column.
class RowContent {
public:
    RowContent(PrintRow& row, const CardPrintOptions& options, const SuitChars& chars, int limit)
        : row_(row), options_(options), chars_(chars), limit_(limit) {}

    // A caption whose label starts 4 pixels into the given box.
    void addCaption(int x, int width, const std::string& text, bool silver) {
        if (options_.suits == SuitSymbolStyle::Letters) {
            addLabel({x + 4, width, withSuitLetters(text, chars_), silver});
            return;
        }
        if (options_.suits == SuitSymbolStyle::CardFont) {
            addLabel({x + 4, width, text, silver});
            return;
        }
        // Pictures: each suit becomes a picture just after the text before
        // it, and the text after it starts a new label beyond the picture.
        int remaining = width;
        int pos = x + 1;
        PrintLabel label{x + 4, width, {}, silver};
        for (const char c : text) {
            const auto suit = suitOfDisplayChar(static_cast<unsigned char>(c), chars_);
            if (!suit) {
                label.text += c;
                continue;
            }
            const int used = label.text.empty() || !options_.captionWidth
                                 ? 0
                                 : options_.captionWidth(label.text);
            label.width = used;
            remaining -= used;
            pos += used + 1;
            addPicture({pos, *suit});
            remaining += 1;
            pos += options_.pictureAdvance;
            addLabel(std::move(label));
            label = PrintLabel{pos, remaining, {}, silver};
        }
        addLabel(std::move(label));
    }

    void addBar(int x) {
        if (x < limit_) row_.bars.push_back(x);
    }

private:
    void addLabel(PrintLabel label) {
        if (label.text.empty() && !label.silver) return;
        if (label.x >= limit_) return;
        label.width = std::min(label.width, limit_ - label.x);
        if (label.width <= 0 && label.silver) return;
        row_.labels.push_back(std::move(label));
    }

    void addPicture(SuitMark mark) {
        if (mark.x + options_.pictureWidth <= limit_) row_.pictures.push_back(mark);
    }

    PrintRow& row_;
    const CardPrintOptions& options_;
    const SuitChars& chars_;
    int limit_;
};

std::string withNote(std::string text, int noteNo) {
    if (noteNo > 0) text += " Note#" + std::to_string(noteNo);
    return text;
}

class RowWalk {
public:
    RowWalk(const Card& card, const CardPrintOptions& options, std::vector<PrintRow>& rows)
        : card_(card), options_(options), rows_(rows) {
        columns_ = std::clamp(options.layoutColumns, 1, 3);
        narrowWidth_ = options.printableWidth / columns_;
        textWidth_ = narrowWidth_ - 4;
    }

    // Appends every print row; returns the last row before the first wide
    // section, or -1 when the card has none.
    int run() {
        rows_.emplace_back();  // index 0: no row
        for (int r = 1; r <= kTitleRows; ++r) rows_.emplace_back();
        const int groupCount = static_cast<int>(card_.groups.size());
        for (int gi = 0; gi < groupCount; ++gi) {
            const Group& group = card_.groups[static_cast<size_t>(gi)];
            // Group headings belong to the first page only; the notes group
            // prints nothing.
            if (gi > 0 && lastFirstPageRow_ < 0 && !card_.isNotesGroup(gi)) {
                addHeading(PrintRowKind::GroupHeading, gi, -1, group.name);
            }
            for (int k = 0; k < group.sectionCount; ++k) {
                const int si = group.firstSection + k;
                if (si < 0 || si >= static_cast<int>(card_.sections.size())) break;
                walkSection(gi, k, si);
            }
        }
        return lastFirstPageRow_;
    }

private:
    int sectionWidth(const Section& section) const {
        return section.columnCount > 4 ? options_.printableWidth : narrowWidth_;
    }

    int lastNumber() const { return static_cast<int>(rows_.size()) - 1; }

    PrintRow& newRow(PrintRowKind kind, int group, int section) {
        PrintRow& row = rows_.emplace_back();
        row.kind = kind;
        row.group = group;
        row.section = section;
        return row;
    }

    void addHeading(PrintRowKind kind, int group, int section, const std::string& name) {
        PrintRow& row = newRow(kind, group, section);
        RowContent content(row, options_, card_.suitChars, textWidth_ + kRowOverhang);
        content.addCaption(2, textWidth_ - 2, name, true);
    }

    void walkSection(int gi, int k, int si) {
        const Section& section = card_.sections[static_cast<size_t>(si)];
        if (lastFirstPageRow_ < 0 && section.columnCount > 4) {
            lastFirstPageRow_ = gi == 0 && k == 0 ? kTitleRows - 1 : lastNumber();
        }
        textWidth_ = sectionWidth(section) - 4;
        if (gi > 0 || k > 0) addHeading(PrintRowKind::SectionHeading, gi, si, section.name);
        if (section.columnCount > 0) {
            if (section.hasHeadings) addColumnHeadings(gi, si, section);
            forEachRow(section.firstLine, section.lineCount, [&](int line, int index, bool first) {
                addTextRow(gi, si, section, line, index, first);
            });
        }
        if (section.hasGrid2) {
            forEachRow(section.firstLine2, section.lineCount2,
                       [&](int line, int index, bool first) {
                           addGrid2Row(gi, si, section, line, index, first);
                       });
        }
    }

    // Calls visit(line, row index, first row of its line) for the rows of
    // lineCount lines from firstLine, in chain order. A broken chain ends
    // its line early rather than printing the placeholder.
    template <typename Visit>
    void forEachRow(int firstLine, int lineCount, Visit visit) const {
        const int rowTotal = static_cast<int>(card_.rows.size());
        for (int l = firstLine; l < firstLine + lineCount; ++l) {
            if (l <= 0 || l >= static_cast<int>(card_.lines.size())) break;
            const TemplateLine& line = card_.lines[static_cast<size_t>(l)];
            int index = line.firstRow;
            for (int n = 0; n < line.rowCount; ++n) {
                if (index <= 0 || index >= rowTotal) break;
                visit(l, index, n == 0);
                index = card_.rows[static_cast<size_t>(index)].nextRow;
            }
        }
    }

    const ColumnHead* column(const Section& section, int j) const {
        const int index = section.firstColumn + j;
        if (index <= 0 || index >= static_cast<int>(card_.columns.size())) return nullptr;
        return &card_.columns[static_cast<size_t>(index)];
    }

    // Cells of a multi-column row: texts[j] goes into grid column j.
    template <typename TextOf>
    void addColumnCells(PrintRow& row, const Section& section, TextOf textOf) {
        RowContent content(row, options_, card_.suitChars, textWidth_ + kRowOverhang);
        int cx = 2;
        const int cw = textWidth_ - 4;
        for (int j = 0; j < section.columnCount; ++j) {
            if (j > 0) {
                content.addBar(cx);
                cx += 2;
            }
            const ColumnHead* head = column(section, j);
            const int width = head ? head->width * cw / 100 : 0;
            content.addCaption(cx, width - 1, textOf(j), false);
            cx += width;
        }
    }

    void addColumnHeadings(int gi, int si, const Section& section) {
        PrintRow& row = newRow(PrintRowKind::ColumnHeadings, gi, si);
        addColumnCells(row, section, [&](int j) {
            const ColumnHead* head = column(section, j);
            return head ? head->heading : std::string();
        });
    }

    void addTextRow(int gi, int si, const Section& section, int line, int index, bool first) {
        PrintRow& row = newRow(PrintRowKind::Text, gi, si);
        row.line = line;
        row.rowIndex = index;
        const RowText& text = card_.rows[static_cast<size_t>(index)];
        if (section.columnCount == 1) {
            std::string shown = text.text;
            card_.codesToDisplay(shown);
            RowContent content(row, options_, card_.suitChars, textWidth_ + kRowOverhang);
            content.addCaption(2, textWidth_ - 4, withNote(std::move(shown), text.noteNo), false);
            return;
        }
        const int openingBidsGroup = static_cast<int>(card_.groups.size()) - 3;
        const bool labelShown =
            first || (options_.openBidsOnAllLines && section.groupIndex == openingBidsGroup);
        addColumnCells(row, section, [&](int j) {
            std::string shown;
            if (j == 0) {
                if (labelShown) shown = card_.lines[static_cast<size_t>(line)].label;
            } else {
                shown = fieldOf(text.text, section.columnCount, 1, j + 1);
            }
            card_.codesToDisplay(shown);
            if (j == section.columnCount - 1) shown = withNote(std::move(shown), text.noteNo);
            return shown;
        });
    }

    void addGrid2Row(int gi, int si, const Section& section, int line, int index, bool first) {
        PrintRow& row = newRow(PrintRowKind::Grid2Text, gi, si);
        row.line = line;
        row.rowIndex = index;
        const RowText& text = card_.rows[static_cast<size_t>(index)];
        RowContent content(row, options_, card_.suitChars, textWidth_ + kRowOverhang);
        const int inner = textWidth_ - 4;
        const int labelWidth = section.labelWidth2 * inner / 100;
        // The label prints as the template gives it, without suit symbols.
        if (first) content.addCaption(2, labelWidth - 1, card_.lines[size_t(line)].label, false);
        std::string shown = text.text;
        card_.codesToDisplay(shown);
        content.addCaption(2 + labelWidth + 2, section.textWidth2 * inner / 100 - 1,
                           withNote(std::move(shown), text.noteNo), false);
    }

    const Card& card_;
    const CardPrintOptions& options_;
    std::vector<PrintRow>& rows_;
    int columns_ = 1;
    int narrowWidth_ = 0;
    int textWidth_ = 0;  // print width less 4 of the section passed last
    int lastFirstPageRow_ = -1;
};

}  // namespace

RowHeights rowHeightsFor(double usableHeight, int bands) {
    RowHeights heights;
    if (bands < 0 || usableHeight <= 0) return heights;
    const double slots = bands + 1.0;
    heights.rowHeight = static_cast<int>(usableHeight / slots);
    heights.extraPixels = static_cast<int>(usableHeight - heights.rowHeight * slots);
    return heights;
}

std::vector<ColumnRun> layoutColumnRuns(int lastRow, int columns) {
    columns = std::max(columns, 1);
    std::vector<ColumnRun> runs(static_cast<size_t>(columns));
    if (lastRow <= 0) return runs;
    const int perColumn = lastRow / columns;
    const int leftOver = lastRow % columns;
    int next = 1;
    for (int i = 0; i < columns; ++i) {
        // Columns are numbered from the right; the leftmost `leftOver`
        // columns take one row more.
        const int count = perColumn + (i >= columns - leftOver ? 1 : 0);
        runs[static_cast<size_t>(i)] = {next, count};
        next += count;
    }
    return runs;
}

TitlePlacement placeTitle(int printableWidth, int layoutColumns, int rowHeight, int topMargin,
                          int titleWidth, int titleHeight, int emblemWidth, int emblemHeight) {
    const int e = printableWidth;
    const int n = std::clamp(layoutColumns, 1, 3);
    TitlePlacement place;
    place.emblem = {e - emblemWidth - 4, 4 * rowHeight - topMargin - emblemHeight, emblemWidth,
                    emblemHeight};
    place.title = {std::max(e - emblemWidth - titleWidth - 6, e - e / n + 4),
                   4 * rowHeight - topMargin - titleHeight - 5, titleWidth, titleHeight};
    if (place.emblem.x < place.title.x + titleWidth) {
        if (titleHeight >= place.emblem.y) {
            place.emblem.x = place.title.x + titleWidth;
        } else {
            place.emblem.y -= titleHeight;
        }
    }
    // Few, short rows leave less room above the fourth row than the margin
    // the placement allows for: keep both on the page.
    place.title.y = std::max(place.title.y, 0);
    place.emblem.y = std::max(place.emblem.y, 0);
    return place;
}

CardPrintPlan CardPrintPlan::build(const Card& card, const CardPrintOptions& options) {
    CardPrintPlan plan;
    const int lastWide = RowWalk(card, options, plan.rows_).run();
    const int last = plan.lastRow();
    plan.lastFirstPageRow_ = lastWide < 0 ? last : lastWide;
    const int p = plan.lastFirstPageRow_;
    const int columns = std::clamp(options.layoutColumns, 1, 3);
    const int e = options.printableWidth;
    plan.columnWidth_ = e / columns;
    const int c = plan.columnWidth_;

    const auto stackBands = [&](CardPrintPage& page, int bandCount) {
        const RowHeights heights = rowHeightsFor(options.usableHeight, bandCount);
        page.rowHeight = heights.rowHeight;
        page.extraPixels = heights.extraPixels;
        page.ruleWidth = e;
        page.bands.resize(static_cast<size_t>(bandCount));
        int top = options.headerHeight;
        for (int b = 0; b < bandCount; ++b) {
            PrintBand& band = page.bands[static_cast<size_t>(b)];
            band.top = top;
            band.height = heights.rowHeight + (b < heights.extraPixels ? 1 : 0);
            band.ruleRight = e;
            top += band.height;
        }
    };

    if (options.pages != CardPages::SecondOnly && p > 0) {
        CardPrintPage& page = plan.pages_.emplace_back();
        page.part = 1;
        const std::vector<ColumnRun> runs = layoutColumnRuns(p, columns);
        const int bandCount = (p + columns - 1) / columns;
        stackBands(page, bandCount);
        for (int b = 0; b < bandCount; ++b) {
            PrintBand& band = page.bands[static_cast<size_t>(b)];
            // Left to right: the leftmost cell shows the last column's run.
            for (int i = columns - 1; i >= 0; --i) {
                const ColumnRun& run = runs[static_cast<size_t>(i)];
                if (b >= run.rowCount) continue;
                const int number = run.firstRow + b;
                band.cells.push_back({number, (columns - 1 - i) * c, c - 4});
                // The title column has no rules under its four rows.
                band.ruleRight = number <= kTitleRows ? c * (columns - 1) : e;
            }
        }
        page.showsTitle = true;
        const TitlePlacement place =
            placeTitle(e, columns, page.rowHeight, options.topMargin, options.titleWidth,
                       options.titleHeight, options.emblemWidth, options.emblemHeight);
        page.title = place.title;
        page.emblem = place.emblem;
    }
    if (options.pages != CardPages::FirstOnly && last > p) {
        CardPrintPage& page = plan.pages_.emplace_back();
        page.part = 2;
        stackBands(page, last - p);
        for (int b = 0; b < last - p; ++b) {
            page.bands[static_cast<size_t>(b)].cells.push_back({p + 1 + b, 0, e - 4});
        }
    }
    return plan;
}

}  // namespace zqw
