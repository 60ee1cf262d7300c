#include "workbook/cell_values.h"

#include "sheet/number_cell.h"

#include <QString>

#include <charconv>

namespace gradecast {

std::u16string NumberCell(QStringView written)
{
    const QByteArray latin = written.trimmed().toLatin1();
    double value = 0;
    const auto [end, failure] = std::from_chars(latin.data(), latin.data() + latin.size(), value);
    if (failure != std::errc() || end != latin.data() + latin.size())
        return written.toString().toStdU16String();
    return NumberCellText(value);
}

std::u16string BooleanCell(bool value)
{
    return value ? u"TRUE" : u"FALSE";
}

} // namespace gradecast
