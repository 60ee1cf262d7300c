#pragma once

#include <string>
#include <string_view>

namespace gradecast {

// A number as a file writes it ("87.5", "1E-3", "0.10000000000000001"), in
// UTF-8 -> its cell text. Text that is no number stays as it is.
std::u16string NumberCell(std::string_view written);

// A boolean cell as a paste from a spreadsheet gives it.
std::u16string BooleanCell(bool value);

// A text cell's UTF-8 -> its text; bytes that are no UTF-8 refuse the file as
// damaged, as any XML reader would.
std::u16string TextCell(std::string_view text);

} // namespace gradecast
