#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gradecast {

// Bytes a file's name may take, in UTF-8, on Linux file systems.
inline constexpr std::size_t FileNameLimit = 255;

// The name under which a file that another party named (a server, a page) is
// offered in the folder the user chose: only the last part of what was given,
// after any "/" or "\"; control and text-direction characters replaced by "_";
// no dots or spaces in front (no hidden file, no "..") and no spaces behind.
// When nothing is left, the same of fallback (the last part of the address),
// else "下載". Cut to limit bytes as FitFileName cuts.
std::u16string SafeFileName(std::u16string_view given, std::u16string_view fallback,
                            std::size_t limit);

// name when it takes at most limit bytes in UTF-8; otherwise the part before
// its extension cut to fit, no character split, the extension kept.
std::u16string FitFileName(std::u16string_view name, std::size_t limit);

} // namespace gradecast
