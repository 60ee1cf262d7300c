#include "text/leading_number.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>

namespace gradecast {
namespace {

constexpr double Largest = std::numeric_limits<double>::max();

TEST(LeadingNumber, ReadsTheNumberAtTheStartOfTheText)
{
    const struct {
        std::u16string text;
        double value;
        bool found;
    } cases[] = {
        {u"92.5", 92.5, true}, {u"-3", -3, true},   {u"+7", 7, true},      {u".5", 0.5, true},
        {u"5.", 5, true},      {u"85abc", 85, true}, {u"8,5", 8, true},    {u"1.2.3", 1.2, true},
        // Exponents with E or D; one without digits is not part of the number.
        {u"1E3", 1000, true},  {u"2d-2", 0.02, true}, {u"1.5E+2", 150, true}, {u"5.e1", 50, true},
        {u"85E-", 85, true},   {u"85Dx", 85, true},
        // Blanks, tabs and line feeds are ignored anywhere; CR and other spaces are not.
        {u"1 2", 12, true},    {u"\n8\n5", 85, true}, {u"- 3", -3, true},  {u"1\tE\n2", 100, true},
        {u"1\u30002", 1, true}, {u"\r85", 0, false},
        // &H and &O: unsigned whole numbers after an optional sign.
        {u"&H1F", 31, true},   {u"&o178", 15, true}, {u"-&H10", -16, true}, {u"& H FF", 255, true},
        {u"&HFFFFFFFF", 4294967295.0, true}, {u"&H", 0, false}, {u"&O9", 0, false},
        {u"&X1", 0, false},
        // No number: zero, and not found.
        {u"", 0, false},       {u"   ", 0, false},  {u"-", 0, false},     {u".", 0, false},
        {u"abc", 0, false},    {u"--5", 0, false},  {u"E5", 0, false},
        // Beyond the range of a double: the largest finite one, or zero.
        {u"1E400", Largest, true}, {u"-1E400", -Largest, true},
        {u"1D99999999999999999999", Largest, true}, {std::u16string(400, u'9'), Largest, true},
        {u"0.0001E310", 1e306, true}, {u"1E-400", 0, true}, {u"1000E-400", 0, true},
        {u"-1E-99999999999999999999", 0, true}, {u"&H" + std::u16string(300, u'F'), Largest, true},
    };
    for (const auto &c : cases) {
        const LeadingNumberResult result = ReadLeadingNumber(c.text);
        EXPECT_DOUBLE_EQ(result.value, c.value) << testing::PrintToString(c.text);
        EXPECT_EQ(result.found, c.found) << testing::PrintToString(c.text);
    }
}

TEST(LeadingNumber, GiantEntriesCostLinearTime)
{
    // Digits and ignored blanks in turn, and an exponent of four million digits.
    std::u16string alternating;
    for (int i = 0; i < 2'000'000; ++i)
        alternating += u"1 ";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(LeadingNumber(alternating), Largest);
    EXPECT_EQ(LeadingNumber(u"1E" + std::u16string(4'000'000, u'0') + u"2"), 100);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

} // namespace
} // namespace gradecast
