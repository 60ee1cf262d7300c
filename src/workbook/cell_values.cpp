#include "workbook/cell_values.h"

#include "sheet/number_cell.h"

#include <QString>

#include <array>
#include <charconv>

namespace gradecast {

std::u16string NumberCell(QStringView written)
{
    // Called for every number of a sheet: the digits go through a buffer on
    // the stack rather than a converted copy.
    const QStringView trimmed = written.trimmed();
    std::array<char, 64> digits;
    if (trimmed.size() > qsizetype(digits.size()))
        return written.toString().toStdU16String();
    for (qsizetype i = 0; i < trimmed.size(); ++i)
        digits[std::size_t(i)] = char(trimmed[i].unicode() < 0x80 ? trimmed[i].unicode() : '?');
    const char *end = digits.data() + trimmed.size();
    double value = 0;
    const auto [stop, failure] = std::from_chars(digits.data(), end, value);
    if (failure != std::errc() || stop != end)
        return written.toString().toStdU16String();
    return NumberCellText(value);
}

std::u16string BooleanCell(bool value)
{
    return value ? u"TRUE" : u"FALSE";
}

} // namespace gradecast
