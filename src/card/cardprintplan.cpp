#include "card/cardprintplan.h"

#include <algorithm>
#include <limits>

#include "card/cardindex.h"

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

    // A caption whose label starts 4 pixels into the given box. A caption
    // too long for its box is drawn smaller, then shortened (fitCaption);
    // its last `wholeTail` characters, a note reference, always print.
    void addCaption(int x, int width, const std::string& text, bool silver, size_t wholeTail = 0) {
        const std::string shown =
            options_.suits == SuitSymbolStyle::Letters ? withSuitLetters(text, chars_) : text;
        // The label may run 4 pixels past its box, over the rule that ends
        // it; the text keeps 2 pixels clear of that rule.
        const FittedCaption fitted = fitCaption(
            shown, wholeTail, width - 6, [this](const std::string& t) { return measure(t); });
        if (options_.suits != SuitSymbolStyle::Pictures) {
            addLabel({x + 4, width, fitted.text, silver, fitted.scale});
            return;
        }
        // Pictures: each suit becomes a picture just after the text before
        // it, and the text after it starts a new label beyond the picture.
        const double scale = fitted.scale;
        const int advance = static_cast<int>(options_.pictureAdvance * scale + 0.5);
        int remaining = width;
        int pos = x + 1;
        PrintLabel label{x + 4, width, {}, silver, scale};
        for (const char c : fitted.text) {
            const auto suit = suitOfDisplayChar(static_cast<unsigned char>(c), chars_);
            if (!suit) {
                label.text += c;
                continue;
            }
            const int used =
                label.text.empty() || !options_.captionWidth
                    ? 0
                    : static_cast<int>(options_.captionWidth(label.text) * scale + 0.5);
            label.width = used;
            remaining -= used;
            pos += used + 1;
            addPicture({pos, *suit, scale, x + width});
            remaining += 1;
            pos += advance;
            addLabel(std::move(label));
            label = PrintLabel{pos, remaining, {}, silver, scale};
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

    // The painter keeps each picture inside its box.
    void addPicture(SuitMark mark) {
        mark.right = std::min(mark.right, limit_);
        if (mark.x < mark.right) row_.pictures.push_back(mark);
    }

    // Width of a caption as printed: with pictures, each suit takes a
    // picture's room instead of a character's.
    int measure(const std::string& text) const {
        if (!options_.captionWidth) return 0;
        if (options_.suits != SuitSymbolStyle::Pictures) return options_.captionWidth(text);
        int total = 0;
        std::string run;
        for (const char c : text) {
            if (!suitOfDisplayChar(static_cast<unsigned char>(c), chars_)) {
                run += c;
                continue;
            }
            if (!run.empty()) total += options_.captionWidth(run);
            total += 1 + options_.pictureAdvance;
            run.clear();
        }
        if (!run.empty()) total += options_.captionWidth(run);
        return total;
    }

    PrintRow& row_;
    const CardPrintOptions& options_;
    const SuitChars& chars_;
    int limit_;
};

// A row's note reference, or nothing.
std::string noteReference(int noteNo) {
    return noteNo > 0 ? " Note#" + std::to_string(noteNo) : std::string();
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
    // Narrow sections share the first page's layout columns; from the
    // first wide section on, every row has the page's whole width.
    int sectionWidth(const Section& section) const {
        return section.columnCount > 4 || lastFirstPageRow_ >= 0 ? options_.printableWidth
                                                                 : narrowWidth_;
    }

    int lastNumber() const { return static_cast<int>(rows_.size()) - 1; }

    PrintRow& newRow(PrintRowKind kind, int group, int section) {
        PrintRow& row = rows_.emplace_back();
        row.kind = kind;
        row.group = group;
        row.section = section;
        if (kind == PrintRowKind::Text || kind == PrintRowKind::Grid2Text) {
            row.sectionHeadingRow = sectionHeadingRow_;
            row.columnHeadingRow = kind == PrintRowKind::Text ? columnHeadingRow_ : 0;
        }
        return row;
    }

    void addHeading(PrintRowKind kind, int group, int section, const std::string& name) {
        PrintRow& row = newRow(kind, group, section);
        RowContent content(row, options_, options_.suitChars, textWidth_ + kRowOverhang);
        content.addCaption(2, textWidth_ - 2, name, true);
    }

    void walkSection(int gi, int k, int si) {
        const Section& section = card_.sections[static_cast<size_t>(si)];
        if (lastFirstPageRow_ < 0 && section.columnCount > 4) {
            lastFirstPageRow_ = gi == 0 && k == 0 ? kTitleRows - 1 : lastNumber();
        }
        textWidth_ = sectionWidth(section) - 4;
        sectionHeadingRow_ = 0;
        columnHeadingRow_ = 0;
        if (gi > 0 || k > 0) {
            addHeading(PrintRowKind::SectionHeading, gi, si, section.name);
            sectionHeadingRow_ = lastNumber();
        }
        if (section.columnCount > 0) {
            if (section.hasHeadings) {
                addColumnHeadings(gi, si, section);
                columnHeadingRow_ = lastNumber();
            }
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
    // textOf(j) gives the text of grid column j and how many of its last
    // characters must print whole.
    template <typename TextOf>
    void addColumnCells(PrintRow& row, const Section& section, TextOf textOf) {
        RowContent content(row, options_, options_.suitChars, textWidth_ + kRowOverhang);
        int cx = 2;
        const int cw = textWidth_ - 4;
        // Columns are shares of the row; shares that add up to more than
        // the whole are fitted to it, so no column falls off the row.
        int shares = 0;
        for (int j = 0; j < section.columnCount; ++j) {
            const ColumnHead* head = column(section, j);
            shares += head ? std::max(head->width, 0) : 0;
        }
        const int whole = std::max(shares, 100);
        for (int j = 0; j < section.columnCount; ++j) {
            if (j > 0) {
                content.addBar(cx);
                cx += 2;
            }
            const ColumnHead* head = column(section, j);
            const int width = head ? std::max(head->width, 0) * cw / whole : 0;
            const auto [text, wholeTail] = textOf(j);
            content.addCaption(cx, width - 1, text, false, wholeTail);
            cx += width;
        }
    }

    void addColumnHeadings(int gi, int si, const Section& section) {
        PrintRow& row = newRow(PrintRowKind::ColumnHeadings, gi, si);
        addColumnCells(row, section, [&](int j) {
            const ColumnHead* head = column(section, j);
            return std::pair<std::string, size_t>(head ? head->heading : std::string(), 0);
        });
    }

    void addTextRow(int gi, int si, const Section& section, int line, int index, bool first) {
        PrintRow& row = newRow(PrintRowKind::Text, gi, si);
        row.line = line;
        row.rowIndex = index;
        const RowText& text = card_.rows[static_cast<size_t>(index)];
        if (section.columnCount == 1) {
            std::string shown = text.text;
            codesToDisplay(shown, options_.suitChars);
            RowContent content(row, options_, options_.suitChars, textWidth_ + kRowOverhang);
            const std::string note = noteReference(text.noteNo);
            content.addCaption(2, textWidth_ - 4, shown + note, false, note.size());
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
                shown = fieldOf(text.text, section.columnCount, 1, fieldOfColumn(j));
            }
            codesToDisplay(shown, options_.suitChars);
            if (j != section.columnCount - 1) return std::pair<std::string, size_t>(shown, 0);
            const std::string note = noteReference(text.noteNo);
            return std::pair<std::string, size_t>(shown + note, note.size());
        });
    }

    void addGrid2Row(int gi, int si, const Section& section, int line, int index, bool first) {
        PrintRow& row = newRow(PrintRowKind::Grid2Text, gi, si);
        row.line = line;
        row.rowIndex = index;
        const RowText& text = card_.rows[static_cast<size_t>(index)];
        RowContent content(row, options_, options_.suitChars, textWidth_ + kRowOverhang);
        const int inner = textWidth_ - 4;
        // Label and text share the row; more than the whole is fitted to it.
        const int labelShare = std::max(section.labelWidth2, 0);
        const int textShare = std::max(section.textWidth2, 0);
        const int whole = std::max(labelShare + textShare, 100);
        const int labelWidth = labelShare * inner / whole;
        // The label prints as the template gives it, without suit symbols.
        if (first) content.addCaption(2, labelWidth - 1, card_.lines[size_t(line)].label, false);
        std::string shown = text.text;
        codesToDisplay(shown, options_.suitChars);
        const std::string note = noteReference(text.noteNo);
        content.addCaption(2 + labelWidth + 2, textShare * inner / whole - 1, shown + note, false,
                           note.size());
    }

    const Card& card_;
    const CardPrintOptions& options_;
    std::vector<PrintRow>& rows_;
    int columns_ = 1;
    int narrowWidth_ = 0;
    int textWidth_ = 0;  // print width less 4 of the section passed last
    int lastFirstPageRow_ = -1;
    int sectionHeadingRow_ = 0;
    int columnHeadingRow_ = 0;
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

int mostBandsFor(double usableHeight, int minBandHeight) {
    if (minBandHeight <= 0) return std::numeric_limits<int>::max();
    // A page of b bands shares its height among b + 1 band heights.
    int bands = std::max(1, static_cast<int>(usableHeight / minBandHeight) - 1);
    while (bands > 1 && rowHeightsFor(usableHeight, bands).rowHeight < minBandHeight) --bands;
    return bands;
}

// Splits rows first..last into runs of at most `capacity` bands, in order.
// A run that starts inside a section repeats that section's heading rows
// above its first row, so a continued column still says what it holds.
// The first run starts at the top of the part and repeats nothing.
std::vector<std::vector<int>> continuedRuns(const std::vector<PrintRow>& rows, int first, int last,
                                            int capacity) {
    std::vector<std::vector<int>> runs;
    int next = first;
    while (next <= last) {
        std::vector<int>& run = runs.emplace_back();
        if (runs.size() > 1) {
            const PrintRow& row = rows[static_cast<size_t>(next)];
            // Room for the repeated headings and at least one row.
            const int repeats = (row.sectionHeadingRow > 0) + (row.columnHeadingRow > 0);
            if (repeats < capacity) {
                if (row.sectionHeadingRow > 0) run.push_back(row.sectionHeadingRow);
                if (row.columnHeadingRow > 0) run.push_back(row.columnHeadingRow);
            }
        }
        while (next <= last && static_cast<int>(run.size()) < capacity) run.push_back(next++);
    }
    return runs;
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
    plan.suitChars_ = options.suitChars;
    const int lastWide = RowWalk(card, options, plan.rows_).run();
    const int last = plan.lastRow();
    plan.lastFirstPageRow_ = lastWide < 0 ? last : lastWide;
    const int p = plan.lastFirstPageRow_;
    const int columns = std::clamp(options.layoutColumns, 1, 3);
    const int e = options.printableWidth;
    plan.columnWidth_ = e / columns;
    const int c = plan.columnWidth_;

    // Bands of a page: `slots` band heights share the page, of which the
    // first bandCount are used.
    const auto stackBands = [&](CardPrintPage& page, int bandCount, int slots) {
        const double usable = options.usableHeight - page.headingHeight;
        const RowHeights heights = rowHeightsFor(usable, slots);
        page.rowHeight = heights.rowHeight;
        page.extraPixels = heights.extraPixels;
        page.ruleWidth = e;
        page.bands.resize(static_cast<size_t>(bandCount));
        int top = options.headerHeight + page.headingHeight;
        for (int b = 0; b < bandCount; ++b) {
            PrintBand& band = page.bands[static_cast<size_t>(b)];
            band.top = top;
            band.height = heights.rowHeight + (b < heights.extraPixels ? 1 : 0);
            band.ruleRight = e;
            top += band.height;
        }
    };
    const auto newPage = [&](int part, bool continued) -> CardPrintPage& {
        CardPrintPage& page = plan.pages_.emplace_back();
        page.part = part;
        page.continued = continued;
        // Every page after the card's first says whose card it is.
        if (part == 2 || continued) {
            page.showsHeading = options.pageHeadingHeight > 0;
            page.headingHeight = std::max(options.pageHeadingHeight, 0);
        }
        return page;
    };

    if (options.pages != CardPages::SecondOnly && p > 0) {
        const int bandCount = (p + columns - 1) / columns;
        const int capacity = mostBandsFor(options.usableHeight, options.minBandHeight);
        if (bandCount <= capacity) {
            CardPrintPage& page = newPage(1, false);
            const std::vector<ColumnRun> runs = layoutColumnRuns(p, columns);
            stackBands(page, bandCount, bandCount);
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
        } else {
            // Too many rows for bands that show their text: full columns,
            // read from the right, continue on further pages.
            // Every page but the first has a heading strip; all share one
            // band height.
            const int fitting = mostBandsFor(options.usableHeight - options.pageHeadingHeight,
                                             options.minBandHeight);
            const auto runs = continuedRuns(plan.rows_, 1, p, fitting);
            for (size_t firstRun = 0; firstRun < runs.size(); firstRun += size_t(columns)) {
                CardPrintPage& page = newPage(1, firstRun > 0);
                const size_t pageRuns = std::min(runs.size() - firstRun, size_t(columns));
                size_t deepest = 0;
                for (size_t i = 0; i < pageRuns; ++i) {
                    deepest = std::max(deepest, runs[firstRun + i].size());
                }
                stackBands(page, static_cast<int>(deepest), fitting);
                for (size_t b = 0; b < deepest; ++b) {
                    PrintBand& band = page.bands[b];
                    for (int i = static_cast<int>(pageRuns) - 1; i >= 0; --i) {
                        const std::vector<int>& run = runs[firstRun + size_t(i)];
                        if (b >= run.size()) continue;
                        const int number = run[b];
                        band.cells.push_back({number, (columns - 1 - i) * c, c - 4});
                        band.ruleRight = number <= kTitleRows ? c * (columns - 1) : e;
                    }
                }
            }
        }
        CardPrintPage& first = plan.pages_[0];
        first.showsTitle = true;
        const TitlePlacement place =
            placeTitle(e, columns, first.rowHeight, options.topMargin, options.titleWidth,
                       options.titleHeight, options.emblemWidth, options.emblemHeight);
        first.title = place.title;
        first.emblem = place.emblem;
    }
    if (options.pages != CardPages::FirstOnly && last > p) {
        const int capacity =
            mostBandsFor(options.usableHeight - options.pageHeadingHeight, options.minBandHeight);
        const auto runs = continuedRuns(plan.rows_, p + 1, last, capacity);
        for (size_t r = 0; r < runs.size(); ++r) {
            CardPrintPage& page = newPage(2, r > 0);
            const int count = static_cast<int>(runs[r].size());
            // A page that fits keeps its rows spread over the whole page.
            stackBands(page, count, runs.size() == 1 ? count : capacity);
            for (int b = 0; b < count; ++b) {
                page.bands[static_cast<size_t>(b)].cells.push_back({runs[r][size_t(b)], 0, e - 4});
            }
        }
    }
    return plan;
}

}  // namespace zqw
