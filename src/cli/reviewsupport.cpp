#include "reviewsupport.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "card/notesformat.h"

namespace zqw {

std::string jsonUtf8String(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

bool readCardForReview(Card& card, const MessageList& messages, const std::string& path) {
    card.cardFileName = path;
    card.readCardFile();
    // The reader falls back to a blank card and says why; for a comparison
    // or a check that blank card would be a false answer.
    return std::none_of(messages.messages.begin(), messages.messages.end(), [&](const auto& text) {
        return text == path + " file not found" || text == path + " has Invalid file content";
    });
}

std::optional<std::vector<std::string>> readNotesForReview(const std::string& command,
                                                           const std::string& path) {
    std::string why;
    auto paragraphs = readNotesFile(path, &why);
    if (!paragraphs) {
        std::cerr << "zqwcce-cli " << command << ": cannot read the notes file " << path
                  << (why.empty() ? "" : ": " + why) << '\n';
    }
    return paragraphs;
}

}  // namespace zqw
