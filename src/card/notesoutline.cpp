#include "card/notesoutline.h"

#include <cctype>

#include "card/card.h"
#include "card/cp1252.h"

namespace zqw {

namespace {

constexpr std::string_view kHeadingStart = "note:..";
constexpr std::string_view kReference = "Note#";
// Note numbers take three digits in the editor; nine keep any number an int.
constexpr size_t kMostNoteDigits = 9;

// Reads up to kMostNoteDigits digits at pos; -1 when there are none or too many.
int readNumber(std::string_view text, size_t& pos) {
    const size_t start = pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) ++pos;
    const size_t digits = pos - start;
    if (digits == 0 || digits > kMostNoteDigits) return -1;
    return std::stoi(std::string(text.substr(start, digits)));
}

}  // namespace

std::optional<int> noteHeadingNumber(std::string_view line) {
    size_t pos = 0;
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (line.size() - pos < kHeadingStart.size()) return std::nullopt;
    for (const char expected : kHeadingStart) {
        if (std::tolower(static_cast<unsigned char>(line[pos++])) != expected) return std::nullopt;
    }
    const int number = readNumber(line, pos);
    if (number < 0 || pos >= line.size() || line[pos] != ':') return std::nullopt;
    return number;
}

std::vector<int> noteReferencesIn(std::string_view text) {
    std::vector<int> found;
    size_t at = text.find(kReference);
    while (at != std::string_view::npos) {
        size_t pos = at + kReference.size();
        const int number = readNumber(text, pos);
        if (number >= 0) found.push_back(number);
        at = text.find(kReference, pos);
    }
    return found;
}

std::vector<NoteBlock> splitNotes(const std::vector<std::string>& paragraphs) {
    std::vector<NoteBlock> blocks(1);
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (const auto number = noteHeadingNumber(paragraphs[i])) {
            blocks.push_back({*number, static_cast<int>(i) + 1, {}});
        }
        blocks.back().lines.push_back(paragraphs[i]);
    }
    return blocks;
}

}  // namespace zqw
