#pragma once

#include "sheet/sheet_table.h"
#include "workbook/sheet_builder.h"
#include "workbook/zip_parts.h"

namespace gradecast {

// An Office Open XML workbook (.xlsx, .xlsm): its worksheets in the
// workbook's order, each cell's value as the file last saved it. A package
// whose main part is no workbook (a .docx) is no spreadsheet.
Workbook ReadXlsx(ZipParts &zip, CellBudget &budget);

} // namespace gradecast
