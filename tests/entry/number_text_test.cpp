#include "entry/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>

namespace gradecast {
namespace {

TEST(NumberText, SignPlaceFifteenDigitsNoLeadingZeroAndExponentAtTheExtremes)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, std::u16string> cases[] = {
        {85, u" 85"},          {0, u" 0"},              {-0.0, u" 0"},       {92.5, u" 92.5"},
        {0.3, u" .3"},         {-3, u"-3"},             {-0.5, u"-.5"},      {0.0001, u" .0001"},
        {2.0 / 3.0, u" .666666666666667"},              {123456789012345.0, u" 123456789012345"},
        {12345.678901234567, u" 12345.6789012346"},     {0.1 + 0.2, u" .3"}, {1e15, u" 1E+15"},
        {999999999999999.9, u" 1E+15"}, // rounds up to 15 digits, then needs the exponent
        {0.00009, u" 9E-05"},  {-1.5e-7, u"-1.5E-07"},  {1.25e100, u" 1.25E+100"},
        {std::numeric_limits<double>::max(), u" 1.79769313486232E+308"},
        // Never inf or nan.
        {infinity, u" 1.79769313486232E+308"}, {-infinity, u"-1.79769313486232E+308"},
        {std::numeric_limits<double>::quiet_NaN(), u" 0"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(SignedNumberText(value), text) << value;
}

} // namespace
} // namespace gradecast
