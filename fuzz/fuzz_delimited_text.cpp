// Feeds arbitrary bytes to the reader of text files of cells, then takes the
// first sheet's columns the way the score box does. The reader refuses or
// gives one sheet without blank ends; the lines hold one line a kept row, the
// chosen cells split by Tabs, whatever the cells hold.

#include "sheet/delimited_text.h"
#include "sheet/sheet_columns.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {
namespace {

void check(bool ok, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "delimited text: %s\n", what);
    std::abort();
}

std::size_t occurrences(std::u16string_view text, std::u16string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::u16string_view::npos;
         at = text.find(part, at + part.size()))
        ++count;
    return count;
}

void checkSheet(const Sheet &sheet)
{
    check(!sheet.rows.empty() && !sheet.rows.back().empty(), "a blank row at the end");
    std::size_t width = 0;
    for (const std::vector<std::u16string> &row : sheet.rows) {
        check(row.empty() || !row.back().empty(), "a blank cell at a row's end");
        width = std::max(width, row.size());
    }
    const std::optional<int> header = GuessHeaderRow(sheet);
    if (header && !sheet.rows[*header].empty())
        check(FindColumn(sheet, header, sheet.rows[*header][0]).value_or(0) == 0,
              "the first header found elsewhere");
    if (width <= 16384 && !header)
        check(FindColumn(sheet, header, ColumnLetters(static_cast<int>(width) - 1))
                  == static_cast<int>(width) - 1,
              "the last column's letters");
    const TakenRows rows = RowsUnderHeader(sheet, header);
    for (const std::vector<int> &columns : {std::vector<int>{0}, std::vector<int>{2, 1, 2}}) {
        const ChosenLines lines = LinesOfColumns(sheet, rows, columns);
        const std::size_t kept = rows.count() - lines.droppedRows.size();
        check(kept == 0 ? lines.text.empty() : occurrences(lines.text, u"\r\n") + 1 == kept,
              "a line that is not one row");
        check(occurrences(lines.text, u"\r") == occurrences(lines.text, u"\n"),
              "a line end inside a cell");
        check(occurrences(lines.text, u"\t") == kept * (columns.size() == 1 ? 0 : 1),
              "a Tab inside a cell");
    }
}

} // namespace
} // namespace gradecast

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace gradecast;
    const WorkbookRead read =
        ReadDelimitedText(std::string_view(reinterpret_cast<const char *>(data), size), u"s");
    if (!read.error.empty()) {
        gradecast::check(read.workbook.sheets.empty(), "a sheet beside an error");
        return 0;
    }
    gradecast::check(read.workbook.sheets.size() == 1, "not one sheet");
    checkSheet(read.workbook.sheets[0]);
    return 0;
}
