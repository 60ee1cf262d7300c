#include "text/leading_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>

namespace gradecast {

namespace {

// Walks the text as if every ignored character had been removed first, without
// copying it: an entry can be a single line of several megabytes.
class Cursor
{
public:
    explicit Cursor(std::u16string_view text) : m_text(text) {}

    char16_t peek()
    {
        skipIgnored();
        return m_pos < m_text.size() ? m_text[m_pos] : u'\0';
    }
    void next()
    {
        skipIgnored();
        ++m_pos;
    }
    std::size_t position() const { return m_pos; }
    void rewind(std::size_t position) { m_pos = position; }

private:
    void skipIgnored()
    {
        while (m_pos < m_text.size() && IgnoredInNumber(m_text[m_pos]))
            ++m_pos;
    }

    std::u16string_view m_text;
    std::size_t m_pos = 0;
};

int digitValue(char16_t c, int radix)
{
    int value = radix;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < radix ? value : -1;
}

bool isDigit(char16_t c)
{
    return digitValue(c, 10) >= 0;
}

constexpr double Largest = std::numeric_limits<double>::max();

// "&H" hexadecimal or "&O" octal digits, read as an unsigned whole number.
LeadingNumberResult readRadixNumber(Cursor &cursor, int radix)
{
    LeadingNumberResult result;
    for (int digit; (digit = digitValue(cursor.peek(), radix)) >= 0; cursor.next()) {
        result.value = std::fmin(result.value * radix + digit, Largest);
        result.found = true;
    }
    return result;
}

// Digits, an optional point and digits, an optional exponent (E or D). The
// characters are gathered for from_chars, which rounds correctly and ignores
// the locale; the rough decimal magnitude tells overflow from underflow.
LeadingNumberResult readDecimalNumber(Cursor &cursor)
{
    std::string number;
    long long magnitude = -1; // decimal exponent of the first non-zero digit
    bool nonZero = false;
    bool point = false;
    bool digits = false;
    for (char16_t c = cursor.peek(); isDigit(c) || (c == u'.' && !point); c = cursor.peek()) {
        cursor.next();
        number.push_back(static_cast<char>(c));
        if (c == u'.') {
            point = true;
            continue;
        }
        digits = true;
        if (c != u'0')
            nonZero = true;
        if (nonZero && !point)
            ++magnitude;
        else if (!nonZero && point)
            --magnitude;
    }
    if (!digits)
        return {};

    const char16_t mark = cursor.peek();
    if (mark == u'E' || mark == u'e' || mark == u'D' || mark == u'd') {
        const std::size_t beforeExponent = cursor.position();
        cursor.next();
        std::string exponent = "e";
        const bool negative = cursor.peek() == u'-';
        if (negative || cursor.peek() == u'+') {
            exponent.push_back(static_cast<char>(cursor.peek()));
            cursor.next();
        }
        long long exponentValue = 0;
        bool exponentDigits = false;
        for (char16_t c = cursor.peek(); isDigit(c); c = cursor.peek()) {
            cursor.next();
            exponent.push_back(static_cast<char>(c));
            exponentValue = std::min(exponentValue * 10 + (c - u'0'), 1'000'000'000LL);
            exponentDigits = true;
        }
        // An E that no digits follow is not part of the number: "85E" reads 85.
        if (exponentDigits) {
            number += exponent;
            magnitude += negative ? -exponentValue : exponentValue;
        } else {
            cursor.rewind(beforeExponent);
        }
    }

    LeadingNumberResult result{0.0, true};
    const auto parsed = std::from_chars(number.data(), number.data() + number.size(), result.value);
    if (parsed.ec == std::errc::result_out_of_range)
        result.value = magnitude > 0 ? Largest : 0.0;
    return result;
}

} // namespace

LeadingNumberResult ReadLeadingNumber(std::u16string_view text)
{
    Cursor cursor(text);
    const bool negative = cursor.peek() == u'-';
    if (negative || cursor.peek() == u'+')
        cursor.next();

    LeadingNumberResult result;
    if (cursor.peek() == u'&') {
        cursor.next();
        const char16_t prefix = cursor.peek();
        const bool hex = prefix == u'H' || prefix == u'h';
        if (!hex && prefix != u'O' && prefix != u'o')
            return {};
        cursor.next();
        result = readRadixNumber(cursor, hex ? 16 : 8);
    } else {
        result = readDecimalNumber(cursor);
    }
    if (negative && result.value != 0.0)
        result.value = -result.value;
    if (result.found)
        result.length = cursor.position();
    return result;
}

double LeadingNumber(std::u16string_view text)
{
    return ReadLeadingNumber(text).value;
}

} // namespace gradecast
