#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/messagesink.h"
#include "card/texthelpers.h"

namespace zqw {

// The user's own prompt file: one prompt a line, every line a prompt (empty
// ones included), no header. On disk suits are the codes the card stores;
// in memory the prompts hold the display characters, as the cells show them.

// The prompts of a file's bytes. A CR, an LF or CR LF ends a line. Control
// bytes other than the suit codes become blanks, since a prompt is inserted
// into a cell; suit codes become display characters.
std::vector<std::string> parseCustomPrompts(std::string_view bytes, const SuitChars& chars);

// The file's bytes: each prompt with its display characters turned back into
// suit codes, followed by CR LF. Control bytes other than the suit codes are
// written as blanks, so that each prompt stays one line.
std::string customPromptsBytes(const std::vector<std::string>& prompts, const SuitChars& chars);

// Reads the file; when it cannot be read, reports "Cannot open file " + path
// and returns nullopt.
std::optional<std::vector<std::string>> readCustomPromptsFile(const std::string& path,
                                                              const SuitChars& chars,
                                                              MessageSink& messages);

// Replaces the file atomically: a failed write leaves the old file whole. On
// failure reports "Cannot create file " + path and returns false, so the
// caller can keep the list marked as modified.
bool writeCustomPromptsFile(const std::string& path, const std::vector<std::string>& prompts,
                            const SuitChars& chars, MessageSink& messages);

}  // namespace zqw
