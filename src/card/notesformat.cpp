#include "card/notesformat.h"

#include "card/textfile.h"

namespace zqw {

std::vector<std::string> parseNotes(std::string_view bytes) {
    std::vector<std::string> paragraphs;
    size_t pos = 0;
    while (pos <= bytes.size()) {
        size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        std::string_view line = bytes.substr(pos, end - pos);
        while (line.size() > kMaxNotesLine) {
            paragraphs.emplace_back(line.substr(0, kMaxNotesLine));
            line.remove_prefix(kMaxNotesLine);
        }
        paragraphs.emplace_back(line);
        if (end == bytes.size()) break;
        if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
        pos = end + 1;
    }
    if (paragraphs.empty()) paragraphs.emplace_back();
    return paragraphs;
}

std::string serializeNotes(const std::vector<std::string>& paragraphs) {
    size_t count = paragraphs.size();
    if (count > 0 && paragraphs.back().empty()) --count;
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        for (char c : paragraphs[i]) {
            const auto byte = static_cast<unsigned char>(c);
            out += byte <= 9 ? ' ' : c;
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace zqw
