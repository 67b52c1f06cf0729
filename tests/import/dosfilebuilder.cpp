#include "dosfilebuilder.h"

#include <algorithm>
#include <stdexcept>

#include "core/test_support.h"

namespace zqw::test {

DosFileBuilder::DosFileBuilder(size_t size) : bytes_(size, '\0') {}

DosFileBuilder& DosFileBuilder::fixed(size_t offset, size_t length, std::string_view text) {
    if (text.size() > length) throw std::invalid_argument("text longer than its field");
    std::string field(text);
    field.resize(length, '\0');
    return bytesAt(offset, field);
}

DosFileBuilder& DosFileBuilder::terminated(size_t offset, std::string_view text) {
    std::string field(text);
    field += '\0';
    return bytesAt(offset, field);
}

DosFileBuilder& DosFileBuilder::bytesAt(size_t offset, std::string_view bytes) {
    if (offset + bytes.size() > bytes_.size()) bytes_.resize(offset + bytes.size(), '\0');
    std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return *this;
}

DosFileBuilder& DosFileBuilder::resize(size_t size) {
    bytes_.resize(size, '\0');
    return *this;
}

void DosFileBuilder::write(const std::string& path) const { writeFile(path, bytes_); }

size_t keyedRowField(int row, int column) {
    static constexpr size_t kFieldStart[] = {0, 6, 8, 10, 14, 134, 345, 605};
    return 8932 + 790 * static_cast<size_t>(row - 1) + kFieldStart[column - 1];
}

size_t noteLineOffset(int note, int line) {
    const size_t start = 32642 + 981 * static_cast<size_t>(note - 1);
    return line == 1 ? start : start + 60 + 70 * static_cast<size_t>(line - 2);
}

size_t noteLineLength(int line) { return line == 1 ? 60 : 70; }

}  // namespace zqw::test
