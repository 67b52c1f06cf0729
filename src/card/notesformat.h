#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zqw {

// Longest paragraph the notes editor keeps in one piece.
inline constexpr size_t kMaxNotesLine = 32767;

// Paragraphs of a notes file: lines end at CR LF, CR or LF; a longer line is
// cut at kMaxNotesLine and carries on as the next paragraph, so nothing read
// is lost. text after the last line end is a last (often empty) paragraph.
std::vector<std::string> parseNotes(std::string_view bytes);

// The notes file bytes: each paragraph followed by CR LF, bytes 0..9 (TAB
// included) written as blanks, and an empty last paragraph left out.
std::string serializeNotes(const std::vector<std::string>& paragraphs);

// The paragraphs of a notes file. nullopt when it cannot be read, or when it
// is larger than the editor holds (kMostNotesBytes, kMostNotesLines): why,
// when given, then receives the reason in words (empty for a missing file).
std::optional<std::vector<std::string>> readNotesFile(const std::string& path,
                                                      std::string* why = nullptr);

// Why a notes file cannot be loaded, in words; empty when it can be, or when
// there is no such file.
std::string notesFileProblem(const std::string& path);

}  // namespace zqw
