#include "card/printtext.h"

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

}  // namespace zqw
