#include "card/notesformat.h"

#include <sys/stat.h>

#include "card/filelimits.h"
#include "card/textfile.h"

namespace zqw {

namespace {

// Line ends as parseNotes counts them: CR LF, CR or LF.
size_t countLines(std::string_view bytes) {
    size_t lines = 1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' ||
            (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

std::optional<std::string> readBoundedNotes(const std::string& path, std::string* why) {
    std::optional<std::string> bytes = readRegularFile(path, kMostNotesBytes, why);
    if (bytes && countLines(*bytes) > kMostNotesLines) {
        if (why) *why = "more than " + std::to_string(kMostNotesLines) + " lines";
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

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

std::optional<std::vector<std::string>> readNotesFile(const std::string& path, std::string* why) {
    const std::optional<std::string> bytes = readBoundedNotes(path, why);
    if (!bytes) return std::nullopt;
    return parseNotes(*bytes);
}

std::string notesFileProblem(const std::string& path) {
    // Only a file that is there has a problem; a missing one is just missing.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {};
    std::string why;
    return readBoundedNotes(path, &why) ? std::string() : why;
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
