#pragma once

#include <cstddef>
#include <cstdint>

namespace gradecast {

// How far a file is read before it is refused as too large. A class's score
// sheet is a few hundred cells; ten thousand rows of fifty columns is already
// far more than any school keeps in one file. The caps stop a zip bomb or a
// crafted file long before it fills the memory.

// Bytes of a whole file, read into memory at once.
inline constexpr std::int64_t kMaxFileBytes = 64 * 1024 * 1024;
// Bytes of one part of an archive once inflated (a sheet, the shared
// strings), streamed: LibreOffice writes 10,000 rows of 50 numbers into
// 63 MiB of content.xml.
inline constexpr std::int64_t kMaxPartBytes = 256 * 1024 * 1024;
// Entries of an .xlsx's table of shared strings.
inline constexpr std::size_t kMaxSharedStrings = 1'000'000;
// Cells with a value in a whole workbook.
inline constexpr std::size_t kMaxCells = 2'000'000;
// Cells a workbook's rows hold, blanks before a value included: cells far
// apart (one in column XFD of every row) would otherwise fill the memory
// with blanks.
inline constexpr std::size_t kMaxCellSlots = 4'000'000;
// The largest sheet the spreadsheet programs make.
inline constexpr int kMaxRows = 1'048'576;
inline constexpr int kMaxColumns = 16'384;

} // namespace gradecast
