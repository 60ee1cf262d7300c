#include "sheet/number_cell.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gradecast {

TEST(NumberCellText, IsTheShortestTextThatReadsBackWrittenWithoutExponent)
{
    const std::pair<double, std::u16string_view> rows[] = {
        {87.5, u"87.5"}, {100, u"100"}, {-3, u"-3"}, {0.1 + 0.2, u"0.30000000000000004"},
        {-0.0, u"0"}, {59.999999999999993, u"59.99999999999999"}, {1e15, u"1000000000000000"},
        {1e-6, u"0.000001"}, {1e16, u"1e+16"}, {1.5e-7, u"1.5e-07"}, {NAN, u""}, {-INFINITY, u""}};
    for (const auto &[value, text] : rows)
        EXPECT_EQ(NumberCellText(value), text) << value;
}

} // namespace gradecast
