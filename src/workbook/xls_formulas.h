#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// A formula cell's last computed value, as a paste from the spreadsheet
// gives it: a number's shortest text, TRUE or FALSE, an error's text
// (#DIV/0!), or the text a formula made. Rows and columns from 0.
struct FormulaResult {
    int row = 0;
    int column = 0;
    std::u16string text;
};

// The results of the formulas of each sheet of an .xls's workbook stream
// (BIFF8, or BIFF5 with its code page), in the order the workbook lists its
// sheets; a sheet that is no worksheet (a chart) has none, and formulas whose
// result is empty are left out. A stream with a password is refused; one whose
// records run past its end, or too many results, too.
std::vector<std::vector<FormulaResult>> XlsFormulaResults(std::string_view stream);

} // namespace gradecast
