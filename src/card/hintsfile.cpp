#include "card/hintsfile.h"

#include <climits>

#include "card/decimal.h"
#include "card/filelimits.h"
#include "card/textfile.h"

namespace zqw {

namespace {

constexpr std::string_view kHeaderMarker = "$*$";
constexpr std::string_view kSuitMarker = "$#$";
constexpr size_t kNumberWidth = 5;
// The hints window shows at most this much of a line after a suit marker.
constexpr size_t kAfterMarkerLimit = 255;

bool isHeader(const std::string& line) { return line.find(kHeaderMarker) != std::string::npos; }

std::optional<int> headerNumber(const std::string& line) {
    const size_t marker = line.find(kHeaderMarker);
    const std::string_view field =
        std::string_view(line).substr(marker + kHeaderMarker.size(), kNumberWidth);
    return parseDecimal(field, false);
}

std::string withSuit(const std::string& line, const SuitChars& chars) {
    const size_t marker = line.find(kSuitMarker);
    if (marker == std::string::npos) return line;
    const size_t letterAt = marker + kSuitMarker.size();
    if (letterAt >= line.size()) return line;
    int suit = 0;
    switch (line[letterAt]) {
        case 'c':
            suit = chars.club;
            break;
        case 'd':
            suit = chars.diamond;
            break;
        case 'h':
            suit = chars.heart;
            break;
        case 's':
            suit = chars.spade;
            break;
        default:
            return line;  // not a suit: shown as written
    }
    std::string out = line.substr(0, marker);
    out += static_cast<char>(suit);
    out += line.substr(letterAt + 1, kAfterMarkerLimit);
    return out;
}

}  // namespace

HintsFile::HintsFile(std::string_view bytes) {
    forEachTextLine(bytes, [this](std::string_view line) { lines_.emplace_back(line); });
}

std::optional<HintsFile> HintsFile::load(const std::string& path, MessageSink& messages) {
    std::string why;
    const auto bytes = readRegularFile(path, kMostHintsBytes, &why);
    if (!bytes) {
        const bool tooLarge = why == fileTooLargeReason(kMostHintsBytes);
        messages.showMessage("Cannot open file " + path + (tooLarge ? ": " + why : ""));
        return std::nullopt;
    }
    return HintsFile(*bytes);
}

std::optional<std::vector<std::string>> HintsFile::find(int number, const SuitChars& chars) const {
    size_t i = 0;
    while (i < lines_.size() && !(isHeader(lines_[i]) && headerNumber(lines_[i]) == number)) ++i;
    if (i == lines_.size()) return std::nullopt;
    std::vector<std::string> text;
    for (++i; i < lines_.size() && !isHeader(lines_[i]); ++i)
        text.push_back(withSuit(lines_[i], chars));
    return text;
}

HintsFile::Choice HintsFile::choose(int wanted, const SuitChars& chars) const {
    if (auto text = find(wanted, chars)) return {wanted, std::move(text)};
    return {1, find(1, chars)};
}

int nextHintNumber(int n) { return n == INT_MAX ? 1 : n + 1; }

}  // namespace zqw
