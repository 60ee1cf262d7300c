#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gradecast {

// Strict UTF-8: overlong forms, surrogates and values past U+10FFFF are refused.
std::optional<std::u16string> Utf16FromUtf8(std::string_view bytes);

// Unpaired surrogates become U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);

} // namespace gradecast
