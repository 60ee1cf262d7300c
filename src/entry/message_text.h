#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gradecast {

// The pieces the messages about a column are written with.

// The decimal digits of number: places and counts.
std::u16string DecimalText(std::size_t number);

// A long text shown by its start and "…", never cut inside a surrogate pair:
// the teacher only needs to recognise it.
std::u16string ShownText(std::u16string_view text);

// "第 3 筆「85」": an entry named by its place in the column and its text.
std::u16string EntryHead(int place, std::u16string_view text);

} // namespace gradecast
