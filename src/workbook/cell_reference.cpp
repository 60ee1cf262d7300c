#include "workbook/cell_reference.h"

#include "workbook/workbook_limits.h"

#include <QString>

namespace gradecast {
namespace {

// Reads a run of letters as a column, stopping at the first non-letter;
// the number of characters read goes to length.
std::optional<int> columnAt(QStringView text, qsizetype &length)
{
    int column = 0;
    length = 0;
    for (QChar c : text) {
        const char16_t unit = c.toUpper().unicode();
        if (unit < u'A' || unit > u'Z')
            break;
        column = column * 26 + (unit - u'A' + 1);
        if (column > kMaxColumns)
            return std::nullopt;
        ++length;
    }
    if (length == 0)
        return std::nullopt;
    return column - 1;
}

} // namespace

std::optional<CellPosition> ParseCellReference(QStringView reference)
{
    reference = reference.trimmed();
    qsizetype length = 0;
    const std::optional<int> column = columnAt(reference, length);
    if (!column)
        return std::nullopt;
    bool ok = false;
    const int row = reference.sliced(length).toInt(&ok);
    if (!ok || row < 1 || row > kMaxRows)
        return std::nullopt;
    return CellPosition{row - 1, *column};
}

std::optional<CellRange> ParseCellRange(QStringView range)
{
    const qsizetype colon = range.indexOf(u':');
    const auto first = ParseCellReference(colon < 0 ? range : range.first(colon));
    const auto last = colon < 0 ? first : ParseCellReference(range.sliced(colon + 1));
    if (!first || !last)
        return std::nullopt;
    return CellRange{*first, *last};
}

} // namespace gradecast
