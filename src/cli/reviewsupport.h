#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/card.h"

namespace zqw {

// What the compare, check and html commands share: reading a card as the
// editor opens it, and JSON strings of text already in UTF-8 (suit symbols
// are no Windows-1252 characters, so the card-text JSON writer cannot
// carry them).

// The string as a JSON string literal, quotes included. Invalid UTF-8 is
// passed on as it stands; control characters are escaped.
std::string jsonUtf8String(std::string_view utf8);

// Reads the card file into a card whose template is already parsed. false
// when the file cannot be read or is no card of that template; the reader's
// messages are in messages either way.
bool readCardForReview(Card& card, const MessageList& messages, const std::string& path);

// The paragraphs of a notes file; nullopt, with a one-line reason on
// standard error, when it cannot be read.
std::optional<std::vector<std::string>> readNotesForReview(const std::string& command,
                                                           const std::string& path);

}  // namespace zqw
