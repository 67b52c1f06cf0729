#pragma once

#include <sys/types.h>

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
    // The same without a copy: a view into the bytes, or the substitute
    // itself (which must outlive the view).
    std::string_view nextView(std::string_view substitute);
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

// The same with a size limit: a larger file is refused without being read.
// why, when given, receives the reason in words (empty when the file does
// not exist).
std::optional<std::string> readRegularFile(const std::string& path, size_t mostBytes,
                                           std::string* why);

// Writes all the bytes to an open file descriptor, going on after
// interrupted writes; false on any error.
bool writeAllBytes(int fd, std::string_view bytes);

// Writes the bytes to a temporary file beside path, flushes it to disk and
// renames it over path, so the old file stays whole unless every byte was
// written. Keeps the old file's permissions and owner; writes through
// symbolic links. A target that is not a regular file (a folder, pipe or
// device) is refused. The temporary name is short whatever the target's, and
// temporary files a killed save of the same file left behind are removed.
//
// A folder that refuses new files (read-only, immutable) cannot hold the
// temporary file: then an existing, writable target is overwritten in place,
// its old bytes held in memory and written back if the new ones cannot all
// be written. False only when no way worked; why, when given, receives the
// reason in words.
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* why = nullptr);

// Takes the next piece of a file's bytes; false when it cannot.
using PieceSink = std::function<bool(std::string_view)>;

// writeFileAtomically for bytes made a piece at a time: produce hands every
// piece to the sink it is given, in order, and returns false when the sink
// refused one. Only a piece is held in memory at a time, except on the
// in-place fallback, which needs the whole content.
bool writeFileAtomicallyInPieces(const std::string& path,
                                 const std::function<bool(const PieceSink&)>& produce,
                                 std::string* why = nullptr);

// Copies a regular file to target the same atomic way (without the in-place
// fallback): target ends up the whole copy or as it was.
bool copyFileAtomically(const std::string& source, const std::string& target,
                        std::string* why = nullptr);

// A file written under a temporary name in its folder and renamed to its
// final name only when complete. Used for writes that stream their bytes.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Starts the temporary file for target (no link is followed: the rename
    // replaces a link of that name). Sets error and returns false when the
    // folder refuses it; errorNumber() then holds the errno.
    bool open(const std::string& target, mode_t mode);
    bool write(std::string_view bytes);
    // Flushes, closes and renames over the target.
    bool commit();
    // Removes the temporary file; nothing changes at the target.
    void discard();

    const std::string& error() const { return error_; }
    int errorNumber() const { return errno_; }

private:
    bool fail(int error);

    int fd_ = -1;
    std::string target_;
    std::string temp_;
    std::string error_;
    int errno_ = 0;
};

// The permissions a new file gets under the current umask.
mode_t newFileMode();

}  // namespace zqw
