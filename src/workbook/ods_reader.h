#pragma once

#include "sheet/sheet_table.h"
#include "workbook/sheet_builder.h"
#include "workbook/zip_parts.h"

namespace gradecast {

// An OpenDocument spreadsheet (.ods): its tables in order from content.xml,
// streamed. Repeated rows and cells are laid out only when they hold a value:
// the million empty rows LibreOffice writes at a sheet's end cost nothing,
// and a value repeated past the caps refuses the file as too large.
Workbook ReadOds(ZipParts &zip, CellBudget &budget);

} // namespace gradecast
