#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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
// Files the editor reads whole. Real ones are kilobytes: a filled card of
// the standard template is about 4 KB, the template 20 KB, the hints 8 KB,
// a prompt file less. A card of a million rows of typical answers, the most
// rows the editor holds, is about 45 MB. Past these a file is damaged or crafted, and
// it is refused before any of it is read, so memory stays a small multiple of
// what is accepted.
inline constexpr size_t kMostCardFileBytes = size_t{256} << 20;
inline constexpr size_t kMostTemplateBytes = size_t{16} << 20;
inline constexpr size_t kMostCustomPromptsBytes = size_t{4} << 20;
inline constexpr size_t kMostHintsBytes = size_t{4} << 20;
// The note beside a recovery copy names two files.
inline constexpr size_t kMostRecoveryNoteBytes = size_t{1} << 20;
// A report archive holds the inputs of a print: the template, a card, its
// notes and the print settings. Real ones weigh tens of kilobytes; this
// leaves room for the largest notes file the editor opens.
inline constexpr size_t kMostReportArchiveBytes = size_t{64} << 20;
static_assert(kMostReportArchiveBytes > kMostNotesBytes);

// How a refused file is described after its name: "larger than 256 MB".
std::string fileTooLargeReason(size_t mostBytes);

// A package holds a card and its notes, kilobytes each.
inline constexpr uint64_t kMostPackageEntryBytes = uint64_t{32} << 20;
inline constexpr uint64_t kMostPackageBytes = uint64_t{64} << 20;
inline constexpr size_t kMostPackageEntries = 1000;
// The archive itself: its entries unpacked plus room for headers.
inline constexpr uint64_t kMostPackageFileBytes = kMostPackageBytes + (uint64_t{8} << 20);

}  // namespace zqw
