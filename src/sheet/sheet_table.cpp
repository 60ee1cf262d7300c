#include "sheet/sheet_table.h"

namespace gradecast {

void TrimBlankEnds(Sheet &sheet)
{
    for (std::vector<std::u16string> &row : sheet.rows) {
        while (!row.empty() && row.back().empty())
            row.pop_back();
    }
    while (!sheet.rows.empty() && sheet.rows.back().empty())
        sheet.rows.pop_back();
}

} // namespace gradecast
