#include "card/printtext.h"

#include <algorithm>

namespace zqw {

std::optional<Suit> suitOfDisplayChar(unsigned char c, const SuitChars& chars) {
    if (c == chars.club) return Suit::Club;
    if (c == chars.diamond) return Suit::Diamond;
    if (c == chars.heart) return Suit::Heart;
    if (c == chars.spade) return Suit::Spade;
    return std::nullopt;
}

std::string withSuitLetters(const std::string& text, const SuitChars& chars) {
    static constexpr char kLetters[] = {'C', 'D', 'H', 'S'};
    std::string out = text;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 128) continue;
        if (const auto suit = suitOfDisplayChar(byte, chars)) c = kLetters[static_cast<int>(*suit)];
    }
    return out;
}

FittedCaption fitCaption(const std::string& text, size_t wholeTail, int width,
                         const CaptionWidth& widthOf) {
    if (text.empty() || width <= 0 || !widthOf) return {text, 1};
    const double full = widthOf(text);
    if (full <= width) return {text, 1};
    if (full * kSmallestCaptionScale <= width) return {text, width / full};

    wholeTail = std::min(wholeTail, text.size());
    const std::string body = text.substr(0, text.size() - wholeTail);
    const std::string tail = text.substr(text.size() - wholeTail);
    const auto fits = [&](const std::string& candidate) {
        return widthOf(candidate) * kSmallestCaptionScale <= width;
    };
    const auto shortened = [&](size_t length) {
        std::string kept = body.substr(0, length);
        while (!kept.empty() && kept.back() == ' ') kept.pop_back();
        return kept + kEllipsis + tail;
    };

    // Word ends: the places where the body may be cut, shortest first.
    std::vector<size_t> cuts;
    for (size_t i = 1; i < body.size(); ++i) {
        if (body[i] == ' ' && body[i - 1] != ' ') cuts.push_back(i);
    }
    // The longest beginning that still fits; widths grow with the length.
    const auto longest = [&](const std::vector<size_t>& lengths) -> std::optional<size_t> {
        size_t low = 0;
        size_t high = lengths.size();
        while (low < high) {
            const size_t middle = (low + high) / 2;
            if (fits(shortened(lengths[middle]))) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        if (low == 0) return std::nullopt;
        return lengths[low - 1];
    };
    if (const auto cut = longest(cuts)) return {shortened(*cut), kSmallestCaptionScale};

    // Not even the first word fits: cut inside it.
    const size_t firstWord = cuts.empty() ? body.size() : cuts.front();
    std::vector<size_t> lengths;
    for (size_t n = 1; n < firstWord; ++n) lengths.push_back(n);
    if (const auto cut = longest(lengths)) return {shortened(*cut), kSmallestCaptionScale};

    // Only the note reference, made as small as it must be to stay whole.
    std::string kept = tail.empty() ? std::string(1, kEllipsis) : tail;
    while (!kept.empty() && kept.front() == ' ') kept.erase(kept.begin());
    const double keptWidth = widthOf(kept);
    return {kept, keptWidth <= width ? kSmallestCaptionScale : width / keptWidth};
}

}  // namespace zqw
