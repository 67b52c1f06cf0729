#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace zqw {

// The longest notes file name a card's first record may link; longer ones
// are cut to it.
inline constexpr size_t kMostNoteNameBytes = 512;

// The notes file name a card file's first record links (everything after
// "ZQW1.0", as the card reader takes it), read without the rest of the file.
// nullopt, with why set, when the file cannot be read or is no card file.
std::optional<std::string> readLinkedNotesName(const std::string& cardPath,
                                               std::string* why = nullptr);

// Where a notes file moved together with its card is found: its bare name
// (after the last slash or backslash) in the card file's folder. Empty when
// the name has no file part.
std::string notesBesideCard(const std::string& cardPath, const std::string& notesName);

}  // namespace zqw
