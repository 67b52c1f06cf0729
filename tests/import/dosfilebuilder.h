#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zqw::test {

// A DOS card file built in memory: zero bytes, with texts put at the offsets
// a test names. The offsets come from the file's documented layout, not from
// the importer's table walk, so that the two check each other.
class DosFileBuilder {
public:
    // A complete file is 91,502 bytes.
    explicit DosFileBuilder(size_t size = 91502);

    // A fixed-length field: the text, then zero bytes up to length.
    DosFileBuilder& fixed(size_t offset, size_t length, std::string_view text);
    // A zero-terminated field.
    DosFileBuilder& terminated(size_t offset, std::string_view text);
    // Raw bytes; the file grows when they pass its end.
    DosFileBuilder& bytesAt(size_t offset, std::string_view bytes);
    // Cuts (or zero-extends) the file to size bytes.
    DosFileBuilder& resize(size_t size);

    const std::string& bytes() const { return bytes_; }
    void write(const std::string& path) const;

private:
    std::string bytes_;
};

// Offset of field column (1..8) of DOS row (1..30) of the sixth group's
// first section: rows from 8932, 790 bytes apart, fields at fixed distances.
size_t keyedRowField(int row, int column);

// Offset and length of line (1..14) of note (1..60): notes from 32642, 981
// bytes apart, a first line of 60 bytes and 13 lines of 70.
size_t noteLineOffset(int note, int line);
size_t noteLineLength(int line);

}  // namespace zqw::test
