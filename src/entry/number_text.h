#pragma once

#include <string>

namespace gradecast {

// A whole number with at least two digits: 0 -> "00", 7 -> "07", -3 -> "-03".
// Magnitudes from 1E15 up take the exponent form of SignedNumberText.
std::u16string TwoDigitText(double wholeValue);

// A blank or "-" as sign place, then at most 15 significant digits with no
// zero before the point (" 85", " .3", "-.5"); an exponent form for 1E15 and
// above or for non-zero magnitudes below 1E-4 (" 1E+15", "-1.5E-07").
std::u16string SignedNumberText(double value);

} // namespace gradecast
