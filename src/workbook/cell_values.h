#pragma once

#include <QStringView>

#include <string>

namespace gradecast {

// A number as a file writes it ("87.5", "1E-3", "0.10000000000000001") ->
// its cell text. Text that is no number stays as it is.
std::u16string NumberCell(QStringView written);

// A boolean cell as a paste from a spreadsheet gives it.
std::u16string BooleanCell(bool value);

} // namespace gradecast
