#pragma once

#include <string_view>

namespace gradecast {

// The blanks around a cell's text: spaces (half and full width, and the
// no-break space pages are full of), Tab and line ends.
constexpr bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u00A0'
        || c == u'\u3000';
}

constexpr std::u16string_view TrimBlanks(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace gradecast
