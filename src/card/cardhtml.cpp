#include "card/cardhtml.h"

#include <set>

#include "card/cardcompare.h"
#include "card/cardtextinput.h"
#include "card/cp1252.h"
#include "card/notesoutline.h"
#include "card/notesprintplan.h"
#include "card/textfile.h"

namespace zqw {

namespace {

constexpr const char* kStyle =
    "body{font-family:Arial,Helvetica,sans-serif;margin:0 auto;max-width:60em;padding:0 .5em;"
    "line-height:1.35;color:#000;background:#fff}"
    "header{border-bottom:2px solid #000;margin-bottom:1em}"
    "h1{font-size:1.4em;margin:.5em 0 .2em}"
    "h2{font-size:1.2em;margin:1.2em 0 .4em}"
    "h3{font-size:1em;margin:1em 0 .3em}"
    ".names{font-size:1.1em;margin:.2em 0 .6em}"
    "table{border-collapse:collapse;width:100%;margin:0 0 1em}"
    "caption{text-align:left;font-weight:bold;padding:.2em 0}"
    "th,td{border:1px solid #888;padding:.2em .4em;text-align:left;vertical-align:top;"
    "overflow-wrap:break-word}"
    "thead th{background:#ddd}"
    "tbody th{font-weight:normal;background:#f2f2f2;width:20%}"
    ".grid{overflow-x:auto}"
    ".red{color:#c00000}.black{color:#000}"
    ".note p{white-space:pre-wrap;margin:.3em 0}";

// Text of the card (Windows-1252, suits as codes) as HTML: escaped, suits
// as coloured symbols, and each Note#N a link when note N has a heading.
class HtmlText {
public:
    explicit HtmlText(const std::set<int>& headings) : headings_(headings) {}

    std::string operator()(std::string_view text) const {
        std::string out;
        size_t pos = 0;
        for (const int number : noteReferencesIn(text)) {
            const std::string reference = "Note#" + std::to_string(number);
            const size_t at = text.find(reference, pos);
            if (at == std::string_view::npos) break;
            // "Note#12" must not be taken for the start of "Note#123".
            const size_t end = text.find_first_not_of("0123456789", at + 5);
            if (end != std::string_view::npos && end != at + reference.size()) break;
            out += plain(text.substr(pos, at - pos));
            out += link(number);
            pos = at + reference.size();
        }
        out += plain(text.substr(pos));
        return out;
    }

    std::string link(int number) const {
        const std::string reference = "Note#" + std::to_string(number);
        if (!headings_.count(number)) return reference;
        return "<a href=\"#note-" + std::to_string(number) + "\">" + reference + "</a>";
    }

    static std::string plain(std::string_view text) {
        std::string out;
        for (const char c : text) {
            switch (c) {
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '&':
                    out += "&amp;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                default: {
                    if (const char32_t symbol = suitSymbolOfCode(c)) {
                        const bool red = c == kDiamondCode || c == kHeartCode;
                        out += red ? "<span class=\"red\">" : "<span class=\"black\">";
                        appendUtf8(out, symbol);
                        out += "</span>";
                        break;
                    }
                    const auto byte = static_cast<unsigned char>(c);
                    // Other control characters have no place in a page.
                    if (byte < 0x20 || (byte >= 0x7f && byte < 0xa0 &&
                                        cp1252ToUnicode(byte) == static_cast<char32_t>(byte))) {
                        out += ' ';
                    } else {
                        out += cp1252ToUtf8(std::string_view(&c, 1));
                    }
                }
            }
        }
        return out;
    }

private:
    const std::set<int>& headings_;
};

class PageWriter {
public:
    PageWriter(const Card& card, const std::vector<std::string>& notes, const SuitChars& chars)
        : card_(card), chars_(chars), notes_(splitNotes(notes)), text_(headings_) {
        for (size_t b = 1; b < notes_.size(); ++b) headings_.insert(notes_[b].noteNo);
    }

    std::string page(const std::string& title) {
        const NotesTitleTexts names = notesTitleTexts(card_, chars_);
        std::string names1252 = names.second;
        displayToCodes(names1252, chars_);
        out_ += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
        out_ += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
        out_ += "<title>" + HtmlText::plain(title);
        if (!names1252.empty()) out_ += " \u2013 " + HtmlText::plain(names1252);
        out_ += "</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n";
        out_ += "<header>\n<h1>" + HtmlText::plain(title) + "</h1>\n";
        if (!names1252.empty())
            out_ += "<p class=\"names\">" + HtmlText::plain(names1252) + "</p>\n";
        out_ += "</header>\n<main>\n";
        for (int g = 0; g < static_cast<int>(card_.groups.size()); ++g) {
            if (!card_.isNotesGroup(g)) group(g);
        }
        notes();
        out_ += "</main>\n</body>\n</html>\n";
        return std::move(out_);
    }

private:
    void group(int g) {
        const Group& group = card_.groups[static_cast<size_t>(g)];
        out_ += "<section>\n<h2>" + text_(group.name) + "</h2>\n";
        for (int k = 0; k < group.sectionCount; ++k) {
            const int si = group.firstSection + k;
            if (si < 0 || si >= static_cast<int>(card_.sections.size())) break;
            const Section& s = card_.sections[static_cast<size_t>(si)];
            if (s.columnCount > 0) grid(s, 1, s.firstLine, s.lineCount);
            if (s.hasGrid2) grid(s, 2, s.firstLine2, s.lineCount2);
        }
        out_ += "</section>\n";
    }

    void grid(const Section& s, int grid, int firstLine, int lineCount) {
        // The label column is a column of row headers; a one-column grid
        // has one only when its lines carry labels.
        const bool multi = grid == 2 || s.columnCount > 1;
        bool labels = multi;
        for (int l = firstLine; !labels && l > 0 && l < firstLine + lineCount; ++l)
            labels = !card_.lines[static_cast<size_t>(l)].label.empty();
        const int answers = grid == 2 ? 1 : (s.columnCount > 1 ? s.columnCount - 1 : 1);

        // A table wider than a phone scrolls on its own, not the page.
        out_ += "<div class=\"grid\">\n<table>\n<caption>" + text_(s.name) + "</caption>\n";
        if (grid == 1 && s.hasHeadings) {
            out_ += "<thead><tr>";
            if (s.columnCount == 1 && labels) out_ += "<td></td>";
            for (int j = 0; j < s.columnCount; ++j)
                out_ += "<th scope=\"col\">" + text_(headingOf(s, j)) + "</th>";
            out_ += "</tr></thead>\n";
        }
        out_ += "<tbody>\n";
        for (int l = firstLine; l > 0 && l < firstLine + lineCount; ++l) {
            const std::vector<int> rows = rowsOfLine(card_, l);
            for (size_t k = 0; k < rows.size(); ++k) {
                const RowText& row = card_.rows[static_cast<size_t>(rows[k])];
                const std::string label =
                    k == 0 ? card_.lines[static_cast<size_t>(l)].label : std::string();
                // A blank row says nothing on a page; the card keeps it for
                // the print.
                bool blank = label.empty() && row.noteNo == 0;
                for (int a = 0; blank && a < answers; ++a) {
                    const int field = grid == 2 ? 2 : (s.columnCount > 1 ? a + 2 : 1);
                    blank = fieldOf(row.text, s.columnCount, grid, field).find_first_not_of(' ') ==
                            std::string::npos;
                }
                if (blank) continue;
                out_ += "<tr>";
                if (labels) {
                    out_ +=
                        label.empty() ? "<td></td>" : "<th scope=\"row\">" + text_(label) + "</th>";
                }
                for (int a = 0; a < answers; ++a) {
                    const int field = grid == 2 ? 2 : (s.columnCount > 1 ? a + 2 : 1);
                    out_ += "<td>" + text_(fieldOf(row.text, s.columnCount, grid, field));
                    if (a + 1 == answers && row.noteNo > 0) out_ += " " + text_.link(row.noteNo);
                    out_ += "</td>";
                }
                out_ += "</tr>\n";
            }
        }
        out_ += "</tbody>\n</table>\n</div>\n";
    }

    std::string headingOf(const Section& s, int column) const {
        const size_t index = static_cast<size_t>(s.firstColumn + column);
        return index > 0 && index < card_.columns.size() ? card_.columns[index].heading : "";
    }

    // Notes lines as card text: the notes show suits through the display
    // characters.
    std::string coded(const std::string& line) const {
        std::string text = line;
        displayToCodes(text, chars_);
        return text;
    }

    // Lines of a note as paragraphs: empty lines part them, and the lines
    // of one paragraph keep their breaks and their indentation.
    void paragraphs(const std::vector<std::string>& lines, size_t from) {
        std::string current;
        bool open = false;
        const auto close = [&] {
            if (open) out_ += "<p>" + current + "</p>\n";
            current.clear();
            open = false;
        };
        for (size_t i = from; i < lines.size(); ++i) {
            if (lines[i].find_first_not_of(" \t") == std::string::npos) {
                close();
                continue;
            }
            if (open) current += "<br>";
            current += text_(coded(lines[i]));
            open = true;
        }
        close();
    }

    void notes() {
        bool any = false;
        for (const NoteBlock& block : notes_) {
            for (const std::string& line : block.lines)
                any = any || line.find_first_not_of(" \t") != std::string::npos;
        }
        if (!any) return;
        out_ += "<section>\n<h2>Notes</h2>\n";
        std::set<int> given;
        for (size_t b = 0; b < notes_.size(); ++b) {
            const NoteBlock& block = notes_[b];
            out_ += "<div class=\"note\">\n";
            if (b > 0) {
                // A number's first heading is the one its links go to.
                const bool first = given.insert(block.noteNo).second;
                out_ += first ? "<h3 id=\"note-" + std::to_string(block.noteNo) + "\">" : "<h3>";
                out_ += text_(coded(block.lines.front())) + "</h3>\n";
            }
            paragraphs(block.lines, b > 0 ? 1 : 0);
            out_ += "</div>\n";
        }
        out_ += "</section>\n";
    }

    const Card& card_;
    const SuitChars& chars_;
    std::vector<NoteBlock> notes_;
    std::set<int> headings_;
    HtmlText text_;
    std::string out_;
};

}  // namespace

std::string cardHtml(const Card& card, const std::vector<std::string>& notes,
                     const std::string& title, const SuitChars& chars) {
    return PageWriter(card, notes, chars).page(title);
}

bool writeCardHtml(const std::string& path, const std::string& html, std::string* why) {
    return writeFileAtomically(path, html, why);
}

}  // namespace zqw
