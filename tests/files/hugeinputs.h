#pragma once

// Inputs built to be expensive to read, far larger than any real card or
// template. The tests check that reading them stays within bounds;
// bench/huge_inputs_bench measures how the reading time grows with them.

#include <cstddef>
#include <string>

namespace zqw::hugeinputs {

// One section whose one line may take all of a card's rows.
inline std::string oneLineTemplate() { return "FG\r\nPS\r\nC195\r\nL01\r\n"; }

// One section of 1100 lines: eleven line records of 99 lines and one of 11.
inline std::string spreadTemplate() {
    std::string bytes = "FG\r\nPS\r\nC195\r\n";
    for (int i = 0; i < 11; ++i) bytes += "L99\r\n";
    return bytes + "L11\r\n";
}

// One line whose row count makes the rows: the first record and count - 1
// records of a single CR each.
inline std::string cardOfRows(size_t rows) {
    std::string bytes = "ZQW1.0\r\n$95\r\n" + std::to_string(rows) + "#}first\r";
    bytes.append(rows - 1, '\r');
    return bytes;
}

// Lines of 999 rows each: no line is suspicious on its own, but 1100 of them
// pass the card's row limit together.
inline std::string spreadRows(int lines) {
    std::string bytes = "ZQW1.0\r\n$95\r\n";
    for (int line = 0; line < lines; ++line) {
        bytes += "999#}x\r";
        bytes.append(998, '\r');
    }
    return bytes;
}

// Template line records of 99 lines each, to about `bytes` bytes (far past
// the template's limit of lines), then a group after them.
inline std::string templateFlood(size_t bytes) {
    std::string flood = "FG\r\nPS\r\nC195\r\n";
    while (flood.size() < bytes) flood += "L99\r\n";
    return flood + "GAfter\r\n";
}

}  // namespace zqw::hugeinputs
