#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gradecast {

// The text of a private-profile (INI) file, as Windows reads and edits it:
// lines end in CR LF, LF or CR; ";" starts a comment line; "[name]" starts a
// section, and lines before the first section belong to none; "key=value"
// lines. Names match without regard to ASCII case and to the blanks around
// them; the first of two equal sections or keys is the one that counts.

// The value of key in section: the text after the first "=", blanks and tabs
// removed at both ends, then a pair of equal quotation marks around it.
std::optional<std::string_view> iniValue(std::string_view content, std::string_view section,
                                         std::string_view key);

// content with key set to value. A present key keeps its line and everything
// up to its "="; a new key follows the last entry of its section; a new
// section goes at the end. Every other byte stays as it was.
std::string iniWithValue(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value);

} // namespace gradecast
