#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// The pieces the messages about a column are written with.

// The decimal digits of number: places and counts.
std::u16string DecimalText(std::size_t number);

// A long text shown by its start and "…", never cut inside a surrogate pair:
// the teacher only needs to recognise it.
std::u16string ShownText(std::u16string_view text);

// "第 3 筆「85」": an entry named by its place in the column and its text.
std::u16string EntryHead(int place, std::u16string_view text);

// How many lines a message names one by one before it counts the rest.
inline constexpr std::size_t NamedWarnings = 5;

// Up to NamedWarnings items, one line each as name gives it, then "另有 N"
// and rest: a box of a whole column would hide its own buttons.
template <typename Item, typename Name>
std::u16string NamedLines(const std::vector<Item> &items, Name &&name, std::u16string_view rest)
{
    std::u16string lines;
    for (std::size_t i = 0; i < items.size() && i < NamedWarnings; ++i)
        lines += name(items[i]) + u"\n";
    if (items.size() > NamedWarnings)
        lines += u"另有 " + DecimalText(items.size() - NamedWarnings) + std::u16string(rest);
    return lines;
}

} // namespace gradecast
