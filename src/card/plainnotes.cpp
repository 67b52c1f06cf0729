#include "card/plainnotes.h"

#include "card/notesformat.h"
#include "card/textfile.h"

namespace zqw {

bool PlainNotes::loadFile(const std::string& path) {
    auto paragraphs = readNotesFile(path);
    if (!paragraphs) return false;
    paragraphs_ = std::move(*paragraphs);
    fileName_ = path;
    modified_ = false;
    return true;
}

bool PlainNotes::saveFile(const std::string& path) {
    if (!writeFileAtomically(path, serializeNotes(paragraphs_))) return false;
    fileName_ = path;
    modified_ = false;
    return true;
}

void PlainNotes::startEmpty() {
    paragraphs_.assign(1, std::string());
    fileName_.clear();
    modified_ = false;
}

void PlainNotes::setText(const std::string& text) {
    paragraphs_.clear();
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        paragraphs_.push_back(text.substr(start, nl == std::string::npos ? nl : nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    modified_ = true;
}

std::string PlainNotes::text() const {
    std::string out;
    for (size_t i = 0; i < paragraphs_.size(); ++i) {
        if (i > 0) out += '\n';
        out += paragraphs_[i];
    }
    return out;
}

}  // namespace zqw
