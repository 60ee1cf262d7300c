#include "tools/sheet_lines.h"

#include "sheet/sheet_columns.h"
#include "text/utf8.h"

#include <algorithm>

namespace gradecast {

namespace {

std::string quoted(std::u16string_view text)
{
    return "\"" + Utf8FromUtf16(text) + "\"";
}

std::string sheetNames(const Workbook &workbook)
{
    std::string names;
    for (const Sheet &sheet : workbook.sheets)
        names += (names.empty() ? "" : ", ") + quoted(sheet.name);
    return names;
}

std::string headers(const Sheet &sheet, std::optional<int> headerRow)
{
    if (!headerRow)
        return "no header row found; name a column by its letters (A, B, ...)";
    std::string found;
    for (const std::u16string &cell : sheet.rows[static_cast<std::size_t>(*headerRow)])
        if (!cell.empty())
            found += (found.empty() ? "" : ", ") + quoted(cell);
    return "its headers are " + found;
}

} // namespace

NamedColumnLines LinesOfNamedColumns(const Workbook &workbook,
                                     const std::optional<std::u16string> &sheetName,
                                     const std::vector<std::u16string> &columns)
{
    const auto sheet = sheetName
        ? std::find_if(workbook.sheets.begin(), workbook.sheets.end(),
                       [&](const Sheet &s) { return s.name == *sheetName; })
        : workbook.sheets.begin();
    if (sheet == workbook.sheets.end())
        return {{}, "no sheet " + quoted(sheetName.value_or(u"")) + "; the sheets are "
                        + sheetNames(workbook)};
    const std::optional<int> headerRow = GuessHeaderRow(*sheet);
    std::vector<int> found;
    for (const std::u16string &name : columns) {
        const std::optional<int> column = FindColumn(*sheet, headerRow, name);
        if (!column)
            return {{}, "no column " + quoted(name) + " in sheet " + quoted(sheet->name) + "; "
                            + headers(*sheet, headerRow)};
        found.push_back(*column);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return {LinesOfColumns(*sheet, RowsUnderHeader(*sheet, headerRow), found).text, {}};
}

} // namespace gradecast
