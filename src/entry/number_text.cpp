#include "entry/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace gradecast {

namespace {

constexpr int SignificantDigits = 15;

// A magnitude rounded to 15 significant digits: value = d.ddd × 10^exponent,
// with the trailing zeros of the digits dropped ("0" for zero).
struct RoundedDecimal {
    std::string digits;
    int exponent = 0;
};

RoundedDecimal roundedDecimal(double magnitude)
{
    // to_chars ignores the C locale, which the GUI sets from the environment.
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                   std::chars_format::scientific, SignificantDigits - 1)
                         .ptr;
    const std::string_view text(buffer, end - buffer); // "d.ddddddddddddde±xx"
    const std::size_t e = text.find('e');

    RoundedDecimal result;
    result.digits.push_back(text[0]);
    result.digits.append(text.substr(2, e - 2));
    while (result.digits.size() > 1 && result.digits.back() == '0')
        result.digits.pop_back();
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                    result.exponent);
    return result;
}

// Plain decimal form, without a zero before the point: "85", "92.5", ".3", ".0001".
std::string plainText(const RoundedDecimal &number)
{
    const std::string &digits = number.digits;
    if (number.exponent < 0)
        return "." + std::string(-number.exponent - 1, '0') + digits;
    const std::size_t whole = number.exponent + 1;
    if (digits.size() <= whole)
        return digits + std::string(whole - digits.size(), '0');
    return digits.substr(0, whole) + "." + digits.substr(whole);
}

// Exponent form with a sign and at least two exponent digits: "1E+15", "1.5E-07".
std::string exponentText(const RoundedDecimal &number)
{
    std::string text = number.digits.substr(0, 1);
    if (number.digits.size() > 1)
        text += "." + number.digits.substr(1);
    text += number.exponent < 0 ? "E-" : "E+";
    const std::string exponent = std::to_string(std::abs(number.exponent));
    if (exponent.size() < 2)
        text += '0';
    return text + exponent;
}

// The digits of a magnitude as they are typed; never "inf" or "nan".
std::u16string magnitudeText(double magnitude)
{
    if (std::isnan(magnitude))
        magnitude = 0.0;
    if (std::isinf(magnitude))
        magnitude = std::numeric_limits<double>::max();

    const RoundedDecimal number = roundedDecimal(magnitude);
    const bool tiny = magnitude != 0.0 && number.exponent < -4;
    const std::string text =
        number.exponent >= SignificantDigits || tiny ? exponentText(number) : plainText(number);
    return std::u16string(text.begin(), text.end());
}

} // namespace

std::u16string TwoDigitText(double wholeValue)
{
    std::u16string text = magnitudeText(std::fabs(wholeValue));
    if (text.size() == 1)
        text.insert(text.begin(), u'0');
    if (wholeValue < 0)
        text.insert(text.begin(), u'-');
    return text;
}

std::u16string SignedNumberText(double value)
{
    return (value < 0 ? u"-" : u" ") + magnitudeText(std::fabs(value));
}

} // namespace gradecast
