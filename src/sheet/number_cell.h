#pragma once

#include <string>

namespace gradecast {

// A number cell's text: the shortest decimal that reads back to the same
// double (87.5, 60, 0.1, -3), without exponent for the numbers a score sheet
// holds. Not-a-number and the infinities give an empty text.
std::u16string NumberCellText(double value);

} // namespace gradecast
