#pragma once

#include <string>
#include <string_view>

namespace zqw {

// Card texts are Windows-1252 bytes inside the core. These convert at the
// edges (screen, JSON). The five bytes Windows-1252 leaves undefined map to
// the C1 controls of the same value, so every byte survives a round trip.
std::string cp1252ToUtf8(std::string_view bytes);

// Characters that Windows-1252 cannot hold become '?'; malformed UTF-8
// sequences become '?' too.
std::string utf8ToCp1252(std::string_view utf8);

// Unicode code point of one Windows-1252 byte.
char32_t cp1252ToUnicode(unsigned char byte);

// Windows-1252 byte of a code point, or -1 when there is none.
int unicodeToCp1252(char32_t codePoint);

// U+FFFD, what a malformed UTF-8 sequence decodes to.
constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of one code point.
void appendUtf8(std::string& out, char32_t codePoint);

// The code point starting at utf8[i], moving i past it; U+FFFD for a byte
// that starts no well-formed sequence (i then moves by that byte only).
// Overlong forms, surrogates and values past Unicode are no characters.
char32_t nextCodePoint(std::string_view utf8, size_t& i);

}  // namespace zqw
