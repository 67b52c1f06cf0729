#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zqw {

// Calls onLine for each line of a text in which CR LF, CR or LF end a line
// and a Ctrl-Z byte ends the text. A last line without line end counts.
void forEachTextLine(std::string_view bytes, const std::function<void(std::string_view)>& onLine);

// The card file's records: a record ends at CR (an LF straight after it is
// part of the line end), so a lone LF is data; Ctrl-Z ends the file.
class RecordReader {
public:
    explicit RecordReader(std::string_view bytes);
    bool atEnd() const { return pos_ >= end_; }
    // The next record, or the substitute when the file is at its end.
    std::string next(std::string_view substitute);
    // Records not read yet (a cheap upper bound is enough for callers).
    size_t remainingBytes() const { return end_ - pos_; }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
    size_t end_ = 0;
};

// The whole content of a regular file; nullopt when it is not a regular file
// or cannot be read (devices and pipes are refused so a read never blocks).
std::optional<std::string> readRegularFile(const std::string& path);

// Writes all the bytes to an open file descriptor, going on after
// interrupted writes; false on any error.
bool writeAllBytes(int fd, std::string_view bytes);

// Writes the bytes to a temporary file beside path, flushes it to disk and
// renames it over path, so the old file stays whole unless every byte was
// written. Keeps the old file's permissions; writes through a symbolic link.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace zqw
