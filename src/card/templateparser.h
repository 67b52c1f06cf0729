#pragma once

#include <string_view>

#include "card.h"

namespace zqw {

// Builds the card's shape from template bytes (see Card::ParseTemplate).
void parseTemplate(Card& card, std::string_view bytes);

}  // namespace zqw
