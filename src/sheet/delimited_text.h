#pragma once

#include "sheet/sheet_table.h"

#include <string>
#include <string_view>

namespace gradecast {

// A text file of cells (.csv, .txt): UTF-8 with or without its byte-order
// mark, UTF-16 (Excel's "Unicode text") or Big5; cells separated by comma, Tab
// or semicolon, whichever the first lines use; quoted cells with doubled
// quotes, separators and line ends inside them. One sheet, named sheetName.
// Bytes that are none of these texts (a binary file) give an error.
WorkbookRead ReadDelimitedText(std::string_view bytes, std::u16string sheetName);

} // namespace gradecast
