#include "workbook/cell_reference.h"

#include "workbook/workbook_limits.h"
#include "workbook/xml_scanner.h"

namespace gradecast {
namespace {

// Reads a run of letters as a column, stopping at the first non-letter;
// the number of characters read goes to length.
std::optional<int> columnAt(std::string_view text, std::size_t &length)
{
    int column = 0;
    length = 0;
    for (char c : text) {
        const char letter = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        if (letter < 'A' || letter > 'Z')
            break;
        column = column * 26 + (letter - 'A' + 1);
        if (column > kMaxColumns)
            return std::nullopt;
        ++length;
    }
    if (length == 0)
        return std::nullopt;
    return column - 1;
}

} // namespace

std::optional<CellPosition> ParseCellReference(std::string_view reference)
{
    reference = TrimmedXmlSpace(reference);
    std::size_t length = 0;
    const std::optional<int> column = columnAt(reference, length);
    if (!column)
        return std::nullopt;
    const std::optional<long long> row = XmlInteger(reference.substr(length));
    if (!row || *row < 1 || *row > kMaxRows)
        return std::nullopt;
    return CellPosition{int(*row) - 1, *column};
}

std::optional<CellRange> ParseCellRange(std::string_view range)
{
    const std::size_t colon = range.find(':');
    const auto first = ParseCellReference(range.substr(0, colon));
    const auto last =
        colon == std::string_view::npos ? first : ParseCellReference(range.substr(colon + 1));
    if (!first || !last)
        return std::nullopt;
    return CellRange{*first, *last};
}

} // namespace gradecast
