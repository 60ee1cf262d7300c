#include "sheet/number_cell.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace gradecast {

std::u16string NumberCellText(double value)
{
    if (!std::isfinite(value))
        return {};
    if (value == 0) // -0 too: a sheet shows it as 0
        return u"0";
    // The longest text is 25 characters: a sign, "0.", five zeros and 17 digits.
    std::array<char, 48> buffer;
    auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    const std::string_view shortest(buffer.data(), written - buffer.data());
    const double magnitude = std::fabs(value);
    // Shortest may mean 1e+15 or 1e-06, which a teacher would not type.
    if (shortest.find('e') != std::string_view::npos && magnitude >= 1e-6 && magnitude <= 1e15)
        written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed).ptr;
    return std::u16string(buffer.data(), written);
}

} // namespace gradecast
