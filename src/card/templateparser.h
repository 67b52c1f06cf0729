#pragma once

#include <string_view>

#include "card/card.h"

namespace zqw {

// Builds the card's shape from template bytes (see Card::parseTemplate).
void buildCardShape(Card& card, std::string_view bytes);

}  // namespace zqw
