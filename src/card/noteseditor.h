#pragma once

#include <string>

namespace zqw {

// What reading and writing a card needs of the notes editor. The editor owns
// the notes text; the card only knows the linked file's name.
class NotesEditor {
public:
    virtual ~NotesEditor() = default;
    // Replaces the text with the file's; false when the file cannot be read.
    virtual bool loadFile(const std::string& path) = 0;
    // Writes the text in the notes file format; false when it could not be
    // written completely (the previous file is then left as it was).
    virtual bool saveFile(const std::string& path) = 0;
    // An empty buffer without a file name.
    virtual void startEmpty() = 0;
};

}  // namespace zqw
