#pragma once

#include "sheet/sheet_table.h"

#include <optional>
#include <string>
#include <vector>

namespace gradecast {

// What the score box receives from the named columns of a sheet (the first
// when no sheet is named), its header guessed as the window guesses it: the
// text with CR LF line ends, or why there is none (a sheet or column not
// found, with the sheets or headers there are).
struct NamedColumnLines {
    std::u16string text;
    std::string error;
};
NamedColumnLines LinesOfNamedColumns(const Workbook &workbook,
                                     const std::optional<std::u16string> &sheetName,
                                     const std::vector<std::u16string> &columns);

} // namespace gradecast
