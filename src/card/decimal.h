#pragma once

#include <optional>
#include <string_view>

namespace zqw {

// Reads a number field of the card's text formats: optional leading blanks,
// an optional sign when allowSign, then decimal digits to the end of the
// field. Anything else (empty, trailing text, out of 32-bit range) is nullopt.
std::optional<int> parseDecimal(std::string_view field, bool allowSign);

}  // namespace zqw
