#pragma once

#include "sheet/sheet_table.h"

#include <filesystem>

namespace gradecast {

// Reads a spreadsheet file, whatever its name says: its first bytes tell an
// .xlsx or .ods (a zip archive), an .xls (a compound document) or a text file
// of cells. A file that is none of these, is damaged, has a password, holds
// no cells or cannot be read gives the reason. Files far larger than a score
// sheet (a zip bomb, a huge table of shared strings) are refused before
// they are read into memory.
WorkbookRead OpenWorkbook(const std::filesystem::path &file);

} // namespace gradecast
