#pragma once

#include <string>
#include <vector>

#include "card/noteseditor.h"

namespace zqw {

// The notes held in memory as paragraphs, for tools without a window. Reads
// and writes the notes file format exactly as the editor's notes pane does.
class PlainNotes : public NotesEditor {
public:
    bool loadFile(const std::string& path) override;
    bool saveFile(const std::string& path) override;
    void startEmpty() override;

    const std::vector<std::string>& paragraphs() const { return paragraphs_; }
    void setText(const std::string& text);  // paragraphs separated by '\n'
    std::string text() const;               // paragraphs joined by '\n'
    const std::string& fileName() const { return fileName_; }
    bool modified() const { return modified_; }

private:
    std::vector<std::string> paragraphs_{std::string()};
    std::string fileName_;
    bool modified_ = false;
};

}  // namespace zqw
