#include "card/texthelpers.h"

#include "card/card.h"

namespace zqw {

namespace {

bool isWholeText(int columnCount, int grid) { return grid != 1 || columnCount < 2; }

void replaceAll(std::string& text, char from, int to) {
    // One pass per character: a display character equal to its own code
    // would otherwise be replaced for ever.
    for (char& c : text) {
        if (c == from) c = static_cast<char>(to);
    }
}

}  // namespace

std::string fieldOf(std::string_view text, int columnCount, int grid, int fieldNo) {
    if (isWholeText(columnCount, grid)) return std::string(text);
    size_t start = 0;
    for (int i = 1; i < fieldNo; ++i) {
        const size_t tab = text.find('\t', start);
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    const size_t tab = text.find('\t', start);
    if (tab == std::string_view::npos || tab == start) return {};
    return std::string(text.substr(start, tab - start));
}

std::string withField(const std::string& text, int columnCount, int grid, int fieldNo,
                      const std::string& value) {
    if (isWholeText(columnCount, grid)) return value;
    std::string result;
    size_t start = 0;
    for (int i = 1; i < fieldNo; ++i) {
        const size_t tab = text.find('\t', start);
        if (tab == std::string::npos) {
            result += '\t';
        } else {
            result.append(text, start, tab + 1 - start);
            start = tab + 1;
        }
    }
    const size_t tab = text.find('\t', start);
    if (tab != std::string::npos) start = tab + 1;
    result += value;
    result += '\t';
    result.append(text, start, std::string::npos);
    return result;
}

void cleanCellText(std::string& text) {
    for (char& c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool suitCode = byte >= 3 && byte <= 6;
        if ((byte < 0x20 || byte == 0x7F) && !suitCode) c = ' ';
    }
}

void codesToDisplay(std::string& text, const SuitChars& chars) {
    replaceAll(text, kClubCode, chars.club);
    replaceAll(text, kDiamondCode, chars.diamond);
    replaceAll(text, kHeartCode, chars.heart);
    replaceAll(text, kSpadeCode, chars.spade);
}

void displayToCodes(std::string& text, const SuitChars& chars) {
    const auto replace = [&text](int from, char to) {
        if (from < 0 || from > 255) return;
        replaceAll(text, static_cast<char>(from), static_cast<unsigned char>(to));
    };
    replace(chars.club, kClubCode);
    replace(chars.diamond, kDiamondCode);
    replace(chars.heart, kHeartCode);
    replace(chars.spade, kSpadeCode);
}

}  // namespace zqw
