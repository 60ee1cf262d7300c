#pragma once

#include "sheet/sheet_table.h"
#include "workbook/sheet_builder.h"

#include <filesystem>
#include <string_view>

namespace gradecast {

// An Excel 97–2003 workbook (.xls, BIFF) through FreeXL: its worksheets in
// order, with the last results of their formulas, which FreeXL leaves blank
// (xls_formulas.h). A workbook with a password, or a compound document that
// holds no workbook (a .doc), is refused. FreeXL reads the file itself;
// bytes are its contents, as already read.
Workbook ReadXls(const std::filesystem::path &file, std::string_view bytes, CellBudget &budget);

} // namespace gradecast
