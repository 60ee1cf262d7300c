#include "entry/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace gradecast {
namespace {

using Cases = std::vector<std::pair<double, std::u16string>>;

TEST(TwoDigitText, PadsToTwoDigitsAndKeepsTheSign)
{
    const Cases cases = {
        {0, u"00"},     {7, u"07"},       {85, u"85"},         {99, u"99"},
        {-3, u"-03"},   {-123, u"-123"},  {-10, u"-10"},       {1234567, u"1234567"},
        {-1e15, u"-1E+15"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(TwoDigitText(value), text) << value;
}

TEST(SignedNumberText, PlainFormHasSignPlaceAndNoLeadingZero)
{
    const Cases cases = {
        {85, u" 85"},
        {100, u" 100"},
        {0, u" 0"},
        {-0.0, u" 0"},
        {92.5, u" 92.5"},
        {0.3, u" .3"},
        {-3, u"-3"},
        {-0.5, u"-.5"},
        {85.46, u" 85.46"},
        {0.0001, u" .0001"},
        {1.0 / 3.0, u" .333333333333333"},
        {2.0 / 3.0, u" .666666666666667"},
        {123456789012345.0, u" 123456789012345"},
        {12345.678901234567, u" 12345.6789012346"},
        {0.1 + 0.2, u" .3"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(SignedNumberText(value), text) << value;
}

TEST(SignedNumberText, ExponentFormForHugeAndTinyMagnitudes)
{
    const Cases cases = {
        {1e15, u" 1E+15"},
        {-1.5e-7, u"-1.5E-07"},
        {999999999999999.9, u" 1E+15"}, // rounds up to 15 digits, then needs the exponent
        {1.25e100, u" 1.25E+100"},
        {0.00009, u" 9E-05"},
        {std::numeric_limits<double>::max(), u" 1.79769313486232E+308"},
        {-std::numeric_limits<double>::denorm_min(), u"-4.94065645841247E-324"},
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(SignedNumberText(value), text) << value;
}

TEST(SignedNumberText, NeverTypesInfinityOrNan)
{
    EXPECT_EQ(SignedNumberText(std::numeric_limits<double>::infinity()),
              u" 1.79769313486232E+308");
    EXPECT_EQ(SignedNumberText(-std::numeric_limits<double>::infinity()),
              u"-1.79769313486232E+308");
    EXPECT_EQ(SignedNumberText(std::numeric_limits<double>::quiet_NaN()), u" 0");
}

} // namespace
} // namespace gradecast
