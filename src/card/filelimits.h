#pragma once

#include <cstddef>
#include <cstdint>

namespace zqw {

// What one file may make the editor hold. Real cards, templates, notes and
// packages stay far below these; past them a file is damaged or crafted, and
// reading it on must not exhaust memory, disk or time. Each limit is named
// in the message that reports it.

// Rows of all lines of a card together. A row costs one byte in the file and
// a whole record in memory.
inline constexpr size_t kMostCardRows = 1000000;
// Template lines of all sections together. One short record can make 99.
inline constexpr size_t kMostTemplateLines = 100000;
// The notes editor holds the whole notes file, one record per line.
inline constexpr size_t kMostNotesBytes = size_t{32} << 20;
inline constexpr size_t kMostNotesLines = 1000000;
// A package holds a card and its notes, kilobytes each.
inline constexpr uint64_t kMostPackageEntryBytes = uint64_t{32} << 20;
inline constexpr uint64_t kMostPackageBytes = uint64_t{64} << 20;
inline constexpr size_t kMostPackageEntries = 1000;
// The archive itself: its entries unpacked plus room for headers.
inline constexpr uint64_t kMostPackageFileBytes = kMostPackageBytes + (uint64_t{8} << 20);

}  // namespace zqw
