#pragma once

#include <string>
#include <string_view>

namespace gradecast {

// The settings file's code page: Big5 (Windows code page 950), as on the
// Traditional Chinese systems the file is shared with.

// A character Big5 cannot hold becomes "?".
std::string AnsiFromUnicode(std::u16string_view text);

// Bytes that are no valid Big5 become U+FFFD; a lone lead byte at the end too.
std::u16string UnicodeFromAnsi(std::string_view bytes);

} // namespace gradecast
