#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gradecast {

// The settings file's code page: Big5 (Windows code page 950), as on the
// Traditional Chinese systems the file is shared with.

// Both conversions need the system's Big5 converter (iconv's CP950): nothing
// when it cannot be had, so that a load falls back to its defaults and a save
// says why it failed.

// A character Big5 cannot hold becomes "?".
std::optional<std::string> AnsiFromUnicode(std::u16string_view text);

// Bytes that are no valid Big5 become U+FFFD; a lone lead byte at the end too.
std::optional<std::u16string> UnicodeFromAnsi(std::string_view bytes);

// Tests stand another code page in for Big5 (one iconv lacks: no converter);
// an empty name puts Big5 back.
void OverrideAnsiCodePage(std::string codePage);

// How many bytes the character at pos takes: 2 for a lead byte followed by a
// trail byte, otherwise 1.
std::size_t ansiCharLength(std::string_view bytes, std::size_t pos);

// The longest start of bytes, at most limit bytes long, that does not end in
// the first half of a double-byte character.
std::size_t ansiCutLength(std::string_view bytes, std::size_t limit);

} // namespace gradecast
