#include "workbook/cell_values.h"

#include "sheet/number_cell.h"
#include "text/utf8.h"
#include "workbook/refusal.h"
#include "workbook/xml_scanner.h"

#include <charconv>
#include <optional>
#include <utility>

namespace gradecast {

std::u16string NumberCell(std::string_view written)
{
    const std::string_view digits = TrimmedXmlSpace(written);
    const char *end = digits.data() + digits.size();
    double value = 0;
    const auto [stop, failure] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || failure != std::errc() || stop != end)
        return TextCell(written);
    return NumberCellText(value);
}

std::u16string BooleanCell(bool value)
{
    return value ? u"TRUE" : u"FALSE";
}

std::u16string TextCell(std::string_view text)
{
    std::optional<std::u16string> converted = Utf16FromUtf8(text);
    if (!converted)
        Refuse(kDamagedSentence);
    return std::move(*converted);
}

} // namespace gradecast
