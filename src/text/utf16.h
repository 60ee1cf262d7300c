#pragma once

#include <cstddef>
#include <string_view>

namespace gradecast {

// A character beyond the Basic Multilingual Plane takes two UTF-16 code units,
// a high and a low surrogate; every rule that walks text keeps such a pair whole.
inline bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Whether the units at i and i + 1 are one character.
inline bool SurrogatePairAt(std::u16string_view text, std::size_t i)
{
    return i + 1 < text.size() && IsHighSurrogate(text[i]) && IsLowSurrogate(text[i + 1]);
}

} // namespace gradecast
