#pragma once

#include <cstddef>
#include <string_view>

namespace gradecast {

// The number at the start of a text, read the way the score box has always
// read it: blanks, tabs and line feeds anywhere are ignored; then an optional
// sign, digits, an optional "." and digits, an optional exponent (E or D, sign,
// digits); &H and &O (after the sign, if any) introduce hexadecimal and octal
// digits read as an unsigned whole number: "&H1F" is 31, "-&O17" is -15.
// Reading stops at the first character that does not fit; an E or D with no
// digits after it is not part of the number. The decimal point is always ".".
struct LeadingNumberResult {
    double value = 0.0; // 0 when no number was found; never inf or nan
    bool found = false; // a number stood at the start of the text
    std::size_t length = 0; // code units read, blanks inside the number included
};

LeadingNumberResult ReadLeadingNumber(std::u16string_view text);

// The characters a number skips wherever they stand: blank, tab and line feed.
// Whoever asks whether a number stands alone in its text asks here.
inline bool IgnoredInNumber(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// The value alone: 0 when there is no number at the start. A number beyond
// the range of a double gives the largest finite double with its sign.
double LeadingNumber(std::u16string_view text);

} // namespace gradecast
