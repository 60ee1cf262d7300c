#pragma once

#include <string>
#include <string_view>

namespace gradecast {

// The form in which a pasted cell and a page cell are compared: blanks removed
// (half and full width, and the no-break space pages are full of), full-width
// letters and digits as their ASCII forms, and a cell of digits as the number
// it writes, so that seat "01" is seat "1". Empty for a cell of blanks.
std::u16string CellKey(std::u16string_view cell);

} // namespace gradecast
